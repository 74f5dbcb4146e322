#include "engine/file_extraction.h"

#include "app/install_settings.h"
#include "base/messages.h"
#include "engine/directory_path.h"
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

// Writes exactly FileSize bytes; message 9 naming `target` when that fails.
bool WriteContents(HANDLE file, const unsigned char* bytes, uint32_t size,
                   const SharedString& target) {
  DWORD written = 0;
  bool complete = WriteFile(file, bytes, size, &written, nullptr) && written == size;
  CloseHandle(file);
  if (!complete) ShowInstallError(IDS_WRITE_FILE, target);
  return complete;
}

bool InstallFile(FileRecord& record, const unsigned char* bytes) {
  SharedString directory;
  if (!GetDestinationBase(record.DestinationType, directory)) {
    ShowInstallError(IDS_UNKNOWN_DESTINATION);
    return false;
  }
  directory += '\\';
  directory += record.SubDirectory;
  // Paths Windows cannot take fail here, not somewhere deeper.
  if (directory.Length() >= MAX_PATH || !CreateDirectoryPath(directory)) {
    ShowInstallError(IDS_CREATE_DIRECTORY, directory);
    return false;
  }
  SharedString target = directory + record.FileName;
  bool existed = FileExists(target);
  if (KeepsExistingFile(record, target, existed)) return true;

  SharedString writtenPath;
  HANDLE file = OpenInstallTarget(record, target, writtenPath);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (!WriteContents(file, bytes, record.FileSize, target)) return false;
  SetFileTimestamp(writtenPath, record.FileTimestamp, false);
  FinishInstalledFile(record, target, existed);
  return true;
}

}  // namespace

bool ExtractFiles(FileTable& files, const unsigned char* data, HWND progressDialog) {
  const unsigned char* cursor = data;
  for (int i = 0; i < files.Count(); ++i) {
    FileRecord& record = files[i];
    if (!InstallFile(record, cursor)) return false;
    // The cursor moves on whether the file was written or kept.
    cursor += record.FileSize;
    StepProgressBar(progressDialog);
    // Cancel is looked at only here, between two files.
    PumpProgressMessages(progressDialog);
    if (Settings.CancelRequested) {
      if (AskQuestion(progressDialog, Settings.SetupCaption, IDS_CONFIRM_EXIT)) {
        DestroyProgressDialog(progressDialog);
        return false;
      }
      Settings.CancelRequested = false;
    }
  }
  return true;
}
