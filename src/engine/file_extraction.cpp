#include "engine/file_extraction.h"

#include <string.h>

#include "state/install_settings.h"
#include "base/messages.h"
#include "engine/directory_path.h"
#include "engine/file_data_stream.h"
#include "engine/file_timestamp.h"
#include "engine/file_version.h"
#include "engine/files_in_use.h"
#include "engine/system_folders.h"
#include "engine/version_rule.h"
#include "package/layout.h"
#include "ui/progress_dialog.h"

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

// Writes exactly FileSize bytes, piece by piece as the stream keeps them;
// message 9 naming `target` when that fails.
bool WriteContents(HANDLE file, FileDataStream& data, uint64_t offset, uint32_t size,
                   const SharedString& target) {
  while (size > 0) {
    uint32_t count = 0;
    const unsigned char* bytes = data.Bytes(offset, &count);
    if (count > size) count = size;
    DWORD written = 0;
    if (!WriteFile(file, bytes, count, &written, nullptr) || written != count) {
      ShowInstallError(IDS_WRITE_FILE, target);
      return false;
    }
    offset += count;
    size -= count;
  }
  return true;
}

// Makes sure the record's folder exists. `lastCreated` is the folder made
// for the file before: files come folder by folder, and asking Windows
// about every level again for each of them would only cost time.
bool MakeFolder(const SharedString& directory, SharedString& lastCreated, CreatedItems& created) {
  if (strcmp(directory, lastCreated) == 0) return true;
  // Paths Windows cannot take fail here, not somewhere deeper.
  if (directory.Length() >= MAX_PATH || !CreateDirectoryPath(directory, &created)) {
    ShowInstallError(IDS_CREATE_DIRECTORY, directory);
    return false;
  }
  lastCreated = directory;
  return true;
}

bool InstallFile(FileRecord& record, FileDataStream& data, uint64_t cursor,
                 SharedString& lastCreated, CreatedItems& created) {
  SharedString directory;
  if (!GetDestinationBase(record.DestinationType, directory)) {
    ShowInstallError(IDS_UNKNOWN_DESTINATION);
    return false;
  }
  directory += '\\';
  directory += record.SubDirectory;
  if (!MakeFolder(directory, lastCreated, created)) return false;
  SharedString target = directory + record.FileName;
  bool existed = FileExists(target);
  if (KeepsExistingFile(record, target, existed)) return true;
  // An installed file is replaced only by bytes whose stream has passed its
  // check; a new one may be written as soon as its bytes are out (and is
  // removed again if the check fails).
  FileDataStream::Wait wait =
      existed ? FileDataStream::Wait::kStreamChecked : FileDataStream::Wait::kBytesOut;
  if (!data.WaitFor(cursor + record.FileSize, wait)) return false;

  HANDLE file = OpenInstallTarget(record, target);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (!existed) created.AddFile(target);
  bool written = WriteContents(file, data, cursor, record.FileSize, target);
  // The time is set on the open file: no second open just for it.
  if (written) SetFileTimestamp(file, record.FileTimestamp, false);
  CloseHandle(file);
  if (!written) return false;
  FinishInstalledFile(record, target, existed);
  return true;
}

}  // namespace

bool ExtractFiles(FileTable& files, FileDataStream& data, InstallProgress& progress,
                  CreatedItems& created) {
  uint64_t cursor = 0;
  SharedString lastCreated;
  for (int i = 0; i < files.Count(); ++i) {
    FileRecord& record = files[i];
    if (!InstallFile(record, data, cursor, lastCreated, created)) return false;
    // The cursor moves on whether the file was written or kept.
    cursor += record.FileSize;
    data.Release(cursor);
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
