#include "engine/uninstall_log.h"

#include <windows.h>

#include <string.h>

#include "base/messages.h"
#include "base/sha256_digest.h"
#include "base/uninstall_names.h"
#include "engine/directory_path.h"
#include "engine/install_record.h"
#include "engine/output_file.h"
#include "engine/system_folders.h"
#include "state/install_settings.h"

namespace {

void AppendCount(SharedString& text, int count) {
  SharedString line;
  FormatString(line, "%d\n", count);
  text += line;
}

SharedString LogText() {
  const PackageHeader& header = Settings.Header;
  const bool check = header.CheckProgramNotRunning != 0;
  SharedString text;
  // Room for everything but the two short fixed lines and the counts.
  text.Reserve(static_cast<int>(sizeof header.AppName + sizeof header.ProgramWindowClass) +
               Settings.ShortcutList.Length() + Settings.SharedDllList.Length() + 64);
  text += header.AppName;
  text += '\n';
  text += check ? uninstall::kCheckLine : uninstall::kNoCheckLine;
  text += '\n';
  if (check) {
    text += header.ProgramWindowClass;
    text += '\n';
  }
  AppendCount(text, Settings.ShortcutCount);
  text += Settings.ShortcutList;
  AppendCount(text, Settings.SharedDllCount);
  text += Settings.SharedDllList;
  return text;
}

// Stored with its NUL, as Windows expects of REG_SZ data.
bool SetTextValue(HKEY key, const char* name, const char* text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(strlen(text) + 1)) == ERROR_SUCCESS;
}

// "UninstallString" is "<Windows>\VTUnInst.exe <log path>", neither path
// quoted: the uninstaller takes the whole rest of its command line as the
// log's path. The digests of the log and the record, beside it, let the
// uninstaller tell that neither was changed.
void RegisterUninstaller(const char* logPath, const SharedString& logText,
                         const SharedString& recordText) {
  const char* caption = Settings.SetupCaption;
  SharedString keyName;
  FormatString(keyName, uninstall::kUninstallKeyFormat, Settings.Header.AppName);
  HKEY key;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, keyName, &key) != ERROR_SUCCESS) {
    ShowError(nullptr, caption, IDS_CREATE_REGISTRY_KEY);
    return;
  }
  SharedString command;
  FormatString(command, "%s %s", UninstallerPath().Text(), logPath);
  if (!SetTextValue(key, "DisplayName", Settings.Header.AppName)) {
    ShowError(nullptr, caption, IDS_SAVE_REGISTRY_KEY);
  }
  if (!SetTextValue(key, "UninstallString", command)) {
    ShowError(nullptr, caption, IDS_SAVE_REGISTRY_KEY);
  }
  SharedString logDigest, recordDigest;
  Sha256Digest(logText.Text(), static_cast<size_t>(logText.Length()), logDigest);
  Sha256Digest(recordText.Text(), static_cast<size_t>(recordText.Length()), recordDigest);
  if (!SetTextValue(key, uninstall::kLogDigestValue, logDigest) ||
      !SetTextValue(key, uninstall::kRecordDigestValue, recordDigest)) {
    ShowError(nullptr, caption, IDS_SAVE_REGISTRY_KEY);
  }
  RegCloseKey(key);
}

// A file of the uninstall in the held `folder`: written whole as a new file
// beside it, then renamed over it, so that a hard link at its name keeps
// the bytes of its other file. IDS_OPEN_FILE or IDS_WRITE_FILE naming it
// otherwise.
bool WriteWholeFile(const SharedString& folder, const char* path, const SharedString& text) {
  const SharedString directory = folder + "\\";
  unsigned number = 0;
  HANDLE file = CreateStagingFile(directory, &number);
  const SharedString staging = StagingPath(directory, number);
  if (file != INVALID_HANDLE_VALUE) {
    if (!WriteAndClose(file, path, text.Text(), static_cast<DWORD>(text.Length()))) {
      DeleteFileA(staging);
      return false;
    }
    if (MoveFileExA(staging, path, MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileA(staging);
  }
  ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, path);
  return false;
}

}  // namespace

void WriteUninstallLog() {
  const SharedString& destination = Settings.DestinationDir;
  SharedString logPath, recordPath;
  FormatString(logPath, "%s\\%s", destination.Text(), uninstall::kLogName);
  FormatString(recordPath, "%s\\%s", destination.Text(), uninstall::kRecordName);
  SharedString notItself;
  if (!CreateDirectoryPath(destination, nullptr, nullptr, &notItself)) {
    ShowError(nullptr, Settings.SetupCaption, IDS_CREATE_DIRECTORY,
              notItself.IsEmpty() ? destination : notItself);
    return;
  }
  // Before the log, the record or the entry change.
  const SharedString recordText = InstallRecordToWrite();
  const SharedString logText = LogText();
  if (!WriteWholeFile(destination, logPath, logText) ||
      !WriteWholeFile(destination, recordPath, recordText)) {
    return;
  }
  RegisterUninstaller(logPath, logText, recordText);
}
