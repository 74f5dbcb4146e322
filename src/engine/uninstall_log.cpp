#include "engine/uninstall_log.h"

#include <windows.h>

#include <string.h>

#include "base/messages.h"
#include "base/uninstall_names.h"
#include "engine/directory_path.h"
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
// log's path.
void RegisterUninstaller(const char* logPath) {
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
  RegCloseKey(key);
}

}  // namespace

void WriteUninstallLog() {
  const SharedString& destination = Settings.DestinationDir;
  SharedString logPath;
  FormatString(logPath, "%s\\%s", destination.Text(), uninstall::kLogName);
  if (!CreateDirectoryPath(destination)) {
    ShowError(nullptr, Settings.SetupCaption, IDS_CREATE_DIRECTORY, destination);
    return;
  }
  HANDLE file = CreateOutputFile(logPath);
  if (file == INVALID_HANDLE_VALUE) return;
  const SharedString text = LogText();
  if (!WriteAndClose(file, logPath, text.Text(), static_cast<DWORD>(text.Length()))) return;
  RegisterUninstaller(logPath);
}
