#include "engine/file_extraction.h"

#include <string.h>

#include "base/file_handles.h"
#include "base/messages.h"
#include "base/run_log.h"
#include "engine/directory_path.h"
#include "engine/file_timestamp.h"
#include "engine/file_version.h"
#include "engine/install_target.h"
#include "engine/install_timing.h"
#include "engine/output_file.h"
#include "engine/system_folders.h"
#include "engine/version_rule.h"
#include "package/layout.h"
#include "state/install_settings.h"

namespace {

void ShowInstallError(unsigned id, const char* argument = nullptr) {
  ShowError(nullptr, Settings.SetupCaption, id, argument);
}

// An existing file of a version at least as new as the record's stays.
bool KeepsExistingFile(const FileRecord& record, const SharedString& target, bool existed) {
  if (record.HasVersion != layout::kHasVersionPresent || !existed) return false;
  uint16_t installed[4];
  return GetFileVersion(target, installed) && !IsNewerVersion(record.FileVersion, installed);
}

// The same when an earlier record of this run wrote the path: its bytes
// are what the file holds at this record's turn, though they may still be
// waiting to be put in place. Bytes redirected to the ".new" file leave the
// file itself as it was.
bool KeepsEarlierFile(const FileRecord& record, const FileRecord& earlier, bool redirected,
                      const SharedString& target) {
  if (redirected) return KeepsExistingFile(record, target, true);
  return record.HasVersion == layout::kHasVersionPresent &&
         earlier.HasVersion == layout::kHasVersionPresent &&
         !IsNewerVersion(record.FileVersion, earlier.FileVersion);
}

// Writes exactly FileSize bytes as the stream gives them out, a piece at a
// time, handing each piece back once written; IDS_WRITE_FILE naming `target`
// when a write fails.
bool WriteContents(HANDLE file, FileDataStream& data, uint64_t offset, uint32_t size,
                   const SharedString& target) {
  while (size > 0) {
    uint32_t count = 0;
    const unsigned char* bytes = data.Next(offset, size, &count);
    if (bytes == nullptr) return false;
    if (count > size) count = size;
    DWORD written = 0;
    BOOL wrote;
    {
      InstallTimer timer(InstallPhase::kWriteFile);
      wrote = WriteFile(file, bytes, count, &written, nullptr);
    }
    if (!wrote || written != count) {
      ShowInstallError(IDS_WRITE_FILE, target);
      return false;
    }
    offset += count;
    size -= count;
    data.Release(offset);
  }
  return true;
}

// What the loop carries from one file to the next.
struct FileLoop {
  const FileTable& files;
  FileDataStream& data;
  CreatedItems& created;
  WrittenFiles& written;
  // The folder made for the file before: files come folder by folder, and
  // asking Windows about every level again for each of them would only
  // cost time.
  SharedString lastFolder;
  bool lastHeld;  // its levels are held (engine/directory_path.h)
  // That folder was made by this run: nothing in it was there before, so
  // no file needs to be looked for.
  bool newFolder;
};

// Makes sure the record's folder exists; on the way to the application's
// own files (`held`), as itself and held, so that nothing is written
// through a link.
bool MakeFolder(const SharedString& directory, bool held, FileLoop& loop) {
  if (strcmp(directory, loop.lastFolder) == 0 && (loop.lastHeld || !held)) return true;
  InstallTimer timer(InstallPhase::kFolders);
  SharedString notItself;
  // Paths Windows cannot take fail here, not somewhere deeper.
  if (directory.Length() >= MAX_PATH ||
      !CreateDirectoryPath(directory, &loop.created, &loop.newFolder,
                           held ? &notItself : nullptr)) {
    ShowInstallError(IDS_CREATE_DIRECTORY, notItself.IsEmpty() ? directory : notItself);
    return false;
  }
  loop.lastFolder = directory;
  loop.lastHeld = held;
  // A file's path is the directory and its name: only when the directory
  // ends in a separator does the file lie in the folder made (by this
  // walk, or before the loop: the destination).
  loop.newFolder =
      EndsWithSeparator(directory) &&
      (loop.newFolder || loop.created.HasFolder(directory.Middle(0, directory.Length() - 1)));
  return true;
}

// Writes record `index`'s bytes and time stamp into the opened `file`
// and notes it in `loop.written`. A staging file stays open until it is in
// place: what lands is what was written and checked.
bool WriteFileOf(FileRecord& record, int index, uint64_t cursor, HANDLE file,
                 const InstallTarget& target, FileLoop& loop) {
  bool written = WriteContents(file, loop.data, cursor, record.FileSize, target.path);
  // The time is set on the open file: no second open just for it.
  if (written) {
    InstallTimer timer(InstallPhase::kSetFileTime);
    SetFileTimestamp(file, record.FileTimestamp, false);
  }
  // What an installed file was to be replaced with is of no use then.
  if (!written && target.Staged()) MarkForDeletion(file);
  if (!written || !target.Staged()) {
    InstallTimer timer(InstallPhase::kCloseFile);
    CloseHandle(file);
  }
  if (written) loop.written.Add(index, target);
  return written;
}

bool InstallFile(FileRecord& record, int index, uint64_t cursor, FileLoop& loop) {
  InstallTarget target;
  if (!GetRecordFolder(record, target.folder)) {
    ShowInstallError(IDS_UNKNOWN_DESTINATION);
    return false;
  }
  const bool own = record.DestinationType == layout::kDestinationApplication;
  if (!MakeFolder(target.folder, own, loop)) return false;
  target.path = target.folder + record.FileName;
  bool redirected = false;
  const int earlier = loop.written.LastWriterOf(target.path, &redirected);
  bool kept;
  if (earlier >= 0) {
    // As if the earlier record's file were final already: it exists, so
    // this one's version rule and shared count see it.
    target.existed = true;
    kept = KeepsEarlierFile(record, loop.files[earlier], redirected, target.path);
  } else {
    if (!loop.newFolder) {
      InstallTimer timer(InstallPhase::kFileExists);
      target.existed = FileExists(target.path);
    }
    // A link in place of one of the application's files is not replaced.
    if (target.existed && own && !IsFileItself(target.path)) {
      ShowInstallError(IDS_OPEN_FILE, target.path);
      return false;
    }
    kept = KeepsExistingFile(record, target.path, target.existed);
  }
  if (kept) {
    LogLine("Kept: %s", target.path.Text());
    return true;
  }
  // The file is made once its first bytes are out: a stream that breaks
  // before them leaves no file of it.
  uint32_t ready = 0;
  if (record.FileSize > 0 && loop.data.Next(cursor, record.FileSize, &ready) == nullptr) {
    return false;
  }
  HANDLE file = OpenInstallTarget(record, target, loop.created);
  if (file == INVALID_HANDLE_VALUE) return false;
  return WriteFileOf(record, index, cursor, file, target, loop);
}

}  // namespace

bool ExtractFiles(FileTable& files, FileDataStream& data, InstallProgress& progress,
                  CreatedItems& created, WrittenFiles& written) {
  FileLoop loop = {files, data, created, written, SharedString(), false, false};
  uint64_t cursor = 0;
  for (int i = 0; i < files.Count(); ++i) {
    FileRecord& record = files[i];
    if (!InstallFile(record, i, cursor, loop)) return false;
    // The cursor moves on whether the file was written or kept.
    cursor += record.FileSize;
    data.Release(cursor);
    InstallTimer timer(InstallPhase::kProgress);
    progress.StepBar();
    // Cancel is looked at only here, between two files.
    progress.Pump();
    if (progress.CancelConfirmed()) {
      progress.Close();
      return false;
    }
  }
  return true;
}
