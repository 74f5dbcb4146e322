#include "engine/written_files.h"

#include <stdlib.h>

#include "base/compare_no_case.h"
#include "base/file_handles.h"
#include "base/path_rules.h"
#include "engine/install_timing.h"
#include "engine/output_file.h"
#include "engine/system_folders.h"

WrittenFiles::~WrittenFiles() {
  free(entries_);
  free(slots_);
}

bool WrittenFiles::Reserve(const FileTable& files) {
  free(entries_);
  free(slots_);
  files_ = &files;
  const int count = files.Count();
  unsigned slots = 8;
  while (slots < 2u * static_cast<unsigned>(count)) slots *= 2;
  // calloc: every entry starts unwritten.
  entries_ = static_cast<Entry*>(calloc(count > 0 ? count : 1, sizeof(Entry)));
  slots_ = static_cast<int*>(calloc(slots, sizeof(int)));
  if (entries_ == nullptr || slots_ == nullptr) {
    count_ = 0;
    return false;
  }
  count_ = count;
  slotMask_ = slots - 1;
  return true;
}

unsigned WrittenFiles::SlotOf(const char* path, unsigned hash) const {
  unsigned slot = hash & slotMask_;
  while (slots_[slot] != 0) {
    const int index = slots_[slot] - 1;
    InstallTarget written;
    if (entries_[index].hash == hash && TargetOf(index, written) &&
        IsSamePath(written.path, path)) {
      return slot;
    }
    slot = (slot + 1) & slotMask_;
  }
  return slot;
}

void WrittenFiles::Add(int index, const InstallTarget& target) {
  Entry& entry = entries_[index];
  entry.hash = HashNoCase(target.path);
  entry.staging = target.staging;
  entry.placement.aside = INVALID_HANDLE_VALUE;
  entry.flags = kWritten | (target.existed ? kExisted : 0) | (target.redirected ? kRedirected : 0) |
                (target.Staged() ? kStaged : 0);
  // A later record of the same path takes the earlier one's slot.
  slots_[SlotOf(target.path, entry.hash)] = index + 1;
}

int WrittenFiles::LastWriterOf(const char* path, bool* redirected) const {
  const int index = slots_[SlotOf(path, HashNoCase(path))] - 1;
  *redirected = index >= 0 && (entries_[index].flags & kRedirected) != 0;
  return index;
}

bool WrittenFiles::TargetOf(int index, InstallTarget& target) const {
  const Entry& entry = entries_[index];
  if ((entry.flags & kWritten) == 0) return false;
  // The loop found the same folder for the record.
  const FileRecord& record = (*files_)[index];
  GetRecordFolder(record, target.folder);
  target.path = target.folder + record.FileName;
  target.existed = (entry.flags & kExisted) != 0;
  target.redirected = (entry.flags & kRedirected) != 0;
  target.staging = entry.staging;
  return true;
}

bool WrittenFiles::Place(CreatedItems& created) {
  InstallTimer timer(InstallPhase::kCompleteFiles);
  // Nothing is final before every file is in place: a file that a program
  // opened meanwhile undoes the whole install, as damaged data would.
  for (int i = 0; i < count_; ++i) {
    InstallTarget target;
    if (!TargetOf(i, target) || !target.Staged()) continue;
    if (!PlaceStagedFile((*files_)[i], target, entries_[i].placement)) {
      UndoPlacements(i);
      Discard();
      created.RemoveAll();
      return false;
    }
    entries_[i].staging = INVALID_HANDLE_VALUE;
    if (target.redirected) entries_[i].flags |= kRedirected;
  }
  for (int i = 0; i < count_; ++i) {
    InstallTarget target;
    // Here the file is in place, or waiting under its ".new" name.
    if (TargetOf(i, target)) NoteInstalledFile((*files_)[i], target);
  }
  return true;
}

void WrittenFiles::RaiseSharedCounts() {
  for (int i = 0; i < count_; ++i) {
    InstallTarget target;
    if (TargetOf(i, target)) RaiseCountOf((*files_)[i], target);
  }
}

void WrittenFiles::Finish() {
  for (int i = 0; i < count_; ++i) {
    InstallTarget target;
    if (!TargetOf(i, target)) continue;
    FinishInstalledFile((*files_)[i], target);
    if (entries_[i].flags & kStaged) DropMovedAside(entries_[i].placement);
    entries_[i].flags = 0;
  }
}

void WrittenFiles::Undo(CreatedItems& created) {
  UndoPlacements(count_);
  for (int i = 0; i < count_; ++i) entries_[i].flags = 0;
  created.RemoveAll();
}

bool WrittenFiles::Complete(CreatedItems& created) {
  if (!Place(created)) return false;
  RaiseSharedCounts();
  Finish();
  return true;
}

void WrittenFiles::UndoPlacements(int failed) {
  // Newest first: a path the table names twice was moved aside twice.
  for (int i = failed - 1; i >= 0; --i) {
    InstallTarget target;
    if (!TargetOf(i, target) || (entries_[i].flags & kStaged) == 0 || target.Staged()) continue;
    UndoPlacement(target, entries_[i].placement);
    entries_[i].flags = 0;
  }
}

void WrittenFiles::Discard() {
  for (int i = 0; i < count_; ++i) {
    InstallTarget target;
    if (TargetOf(i, target) && target.Staged()) {
      MarkForDeletion(target.staging);
      CloseHandle(target.staging);
    }
    entries_[i].flags = 0;
  }
}
