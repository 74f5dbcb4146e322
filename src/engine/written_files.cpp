#include "engine/written_files.h"

#include <stdlib.h>

#include "base/run_log.h"
#include "engine/install_record.h"
#include "engine/install_timing.h"
#include "engine/output_file.h"
#include "engine/system_folders.h"

WrittenFiles::~WrittenFiles() { free(entries_); }

bool WrittenFiles::Reserve(int count) {
  free(entries_);
  entries_ = static_cast<Entry*>(calloc(count > 0 ? count : 1, sizeof(Entry)));
  count_ = entries_ != nullptr ? count : 0;
  return entries_ != nullptr;
}

void WrittenFiles::Add(int index, const InstallTarget& target) {
  Entry& entry = entries_[index];
  entry.staging = static_cast<uint16_t>(target.staging);
  entry.flags = kWritten | (target.existed ? kExisted : 0) |
                (target.redirected ? kRedirected : 0) | (target.staged ? kStaged : 0);
}

bool WrittenFiles::TargetOf(const FileTable& files, int index, InstallTarget& target) const {
  const Entry& entry = entries_[index];
  if ((entry.flags & kWritten) == 0) return false;
  // The loop found the same folder for the record.
  GetRecordFolder(files[index], target.folder);
  target.path = target.folder + files[index].FileName;
  target.existed = (entry.flags & kExisted) != 0;
  target.redirected = (entry.flags & kRedirected) != 0;
  target.staged = (entry.flags & kStaged) != 0;
  target.staging = entry.staging;
  return true;
}

bool WrittenFiles::Complete(const FileTable& files) {
  InstallTimer timer(InstallPhase::kCompleteFiles);
  for (int i = 0; i < count_; ++i) {
    InstallTarget target;
    if (!TargetOf(files, i, target)) continue;
    if (target.staged && !PlaceStagedFile(files[i], target)) {
      entries_[i].flags = 0;
      Discard(files);
      return false;
    }
    // Here the file is final: in place, or waiting under its ".new" name.
    LogLine(target.redirected ? "Scheduled: %s" : "Written: %s", target.path.Text());
    FinishInstalledFile(files[i], target);
    RecordInstalledFile(files[i].DestinationType, target.path, target.existed);
    entries_[i].flags = 0;
  }
  return true;
}

void WrittenFiles::Discard(const FileTable& files) {
  for (int i = 0; i < count_; ++i) {
    InstallTarget target;
    if (TargetOf(files, i, target) && target.staged) {
      DeleteFileA(StagingPath(target.folder, target.staging));
    }
    entries_[i].flags = 0;
  }
}
