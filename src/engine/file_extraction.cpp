#include "engine/file_extraction.h"

#include <string.h>

#include "state/install_settings.h"
#include "base/messages.h"
#include "engine/directory_path.h"
#include "engine/file_data_stream.h"
#include "engine/file_timestamp.h"
#include "engine/file_version.h"
#include "engine/files_in_use.h"
#include "engine/install_record.h"
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

// What the loop carries from one file to the next.
struct FileLoop {
  FileDataStream& data;
  // Where the last file of the table ends in the data. A stream that passed
  // its check but ends before it is damaged all the same: what waits for
  // checked bytes waits for these.
  uint64_t tableEnd;
  CreatedItems& created;
  // The folder made for the file before: files come folder by folder, and
  // asking Windows about every level again for each of them would only
  // cost time.
  SharedString lastFolder;
};

// Makes sure the record's folder exists.
bool MakeFolder(const SharedString& directory, FileLoop& loop) {
  if (strcmp(directory, loop.lastFolder) == 0) return true;
  // Paths Windows cannot take fail here, not somewhere deeper.
  if (directory.Length() >= MAX_PATH || !CreateDirectoryPath(directory, &loop.created)) {
    ShowInstallError(IDS_CREATE_DIRECTORY, directory);
    return false;
  }
  loop.lastFolder = directory;
  return true;
}

bool InstallFile(FileRecord& record, uint64_t cursor, FileLoop& loop) {
  SharedString directory;
  if (!GetDestinationBase(record.DestinationType, directory)) {
    ShowInstallError(IDS_UNKNOWN_DESTINATION);
    return false;
  }
  directory += '\\';
  directory += record.SubDirectory;
  if (!MakeFolder(directory, loop)) return false;
  InstallTarget target;
  target.path = directory + record.FileName;
  target.existed = FileExists(target.path);
  if (KeepsExistingFile(record, target.path, target.existed)) return true;
  // An installed file is replaced only by checked bytes; a new one may be
  // written as soon as its bytes are out (and is removed again if the check
  // fails).
  FileDataStream& data = loop.data;
  bool waited = target.existed
                    ? data.WaitFor(loop.tableEnd, FileDataStream::Wait::kStreamChecked)
                    : data.WaitFor(cursor + record.FileSize, FileDataStream::Wait::kBytesOut);
  if (!waited) return false;

  HANDLE file = OpenInstallTarget(record, target, data, loop.tableEnd, loop.created);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool written = WriteContents(file, data, cursor, record.FileSize, target.path);
  // The time is set on the open file: no second open just for it.
  if (written) SetFileTimestamp(file, record.FileTimestamp, false);
  CloseHandle(file);
  if (!written) return false;
  // Registering and counting act on installed code: never with bytes that
  // may still turn out damaged. (A redirected file has waited already.)
  if ((record.SelfRegister != 0 || record.SharedDll != 0) &&
      !data.WaitFor(loop.tableEnd, FileDataStream::Wait::kStreamChecked)) {
    return false;
  }
  FinishInstalledFile(record, target);
  RecordInstalledFile(record.DestinationType, target.path, target.existed);
  return true;
}

}  // namespace

bool ExtractFiles(FileTable& files, FileDataStream& data, uint64_t tableEnd,
                  InstallProgress& progress, CreatedItems& created) {
  FileLoop loop = {data, tableEnd, created, SharedString()};
  uint64_t cursor = 0;
  for (int i = 0; i < files.Count(); ++i) {
    FileRecord& record = files[i];
    if (!InstallFile(record, cursor, loop)) return false;
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
