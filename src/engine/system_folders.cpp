#include "engine/system_folders.h"

#include <windows.h>

#include "base/install_scope.h"
#include "base/registry_value.h"
#include "base/shell_folder.h"
#include "base/uninstall_names.h"
#include "package/layout.h"
#include "state/install_settings.h"

namespace {

const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kProgramFilesFallback[] = "C:\\Program Files";
const int kFontsFolder = 0x14;         // CSIDL_FONTS
const int kLocalAppDataFolder = 0x1C;  // CSIDL_LOCAL_APPDATA

// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion, opened
// with `access`; false when it cannot be.
bool OpenCurrentVersionKey(REGSAM access, HKEY* key) {
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, access, key) == ERROR_SUCCESS;
}

// A text value of an open key; false when it is missing, not text or does
// not fit MAX_PATH.
bool QueryText(HKEY key, const char* name, SharedString& text) {
  return ReadRegistryText(key, name, text, MAX_PATH - 1);
}

// Expands %VARIABLES%; false when the result would not fit MAX_PATH.
bool ExpandEnvironment(const char* text, SharedString& expanded) {
  char* buffer = expanded.GetBufferOfLength(MAX_PATH);
  DWORD needed = ExpandEnvironmentStringsA(text, buffer, MAX_PATH);
  if (needed == 0 || needed > MAX_PATH) {
    expanded.Empty();
    return false;
  }
  expanded.ReleaseBuffer();
  return true;
}

SharedString QueryLocalMachineText(const char* name) {
  SharedString text;
  HKEY key;
  if (!OpenCurrentVersionKey(KEY_QUERY_VALUE, &key)) return text;
  QueryText(key, name, text);
  RegCloseKey(key);
  return text;
}

// The Windows or the system directory: `get` is GetWindowsDirectoryA or
// GetSystemDirectoryA. Empty when it fails or would not fit MAX_PATH.
SharedString FolderFromWindows(UINT(WINAPI* get)(LPSTR, UINT)) {
  SharedString path;
  UINT length = get(path.GetBufferOfLength(MAX_PATH), MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    path.Empty();
  } else {
    path.ReleaseBuffer();
  }
  return path;
}

}  // namespace

SharedString GetProgramFilesDirectory() {
  SharedString directory(kProgramFilesFallback);
  HKEY key;
  if (!OpenCurrentVersionKey(KEY_QUERY_VALUE, &key)) return directory;
  // "ProgramFilesPath" may hold %VARIABLES%; one that cannot be read or
  // expanded within MAX_PATH leaves "ProgramFilesDir" to decide.
  SharedString text, expanded;
  if (QueryText(key, "ProgramFilesPath", text) && ExpandEnvironment(text, expanded)) {
    directory = expanded;
  } else if (QueryText(key, "ProgramFilesDir", text)) {
    directory = text;
  }
  RegCloseKey(key);
  return directory;
}

SharedString GetApplicationsDirectory() {
  if (!IsPerUserScope()) return GetProgramFilesDirectory();
  // Not found: "\Programs", which the destination refuses as no full path.
  SharedString folder;
  GetSpecialFolderPath(folder, kLocalAppDataFolder);
  return folder + "\\Programs";
}

SharedString UninstallerPath() {
  const SharedString folder =
      IsPerUserScope() ? Settings.DestinationDir : FolderFromWindows(GetWindowsDirectoryA);
  return folder + "\\" + uninstall::kUninstallerName;
}

bool GetDestinationBase(unsigned destinationType, SharedString& base) {
  switch (destinationType) {
    case layout::kDestinationApplication:
      base = Settings.DestinationDir;
      return true;
    case layout::kDestinationWindows:
      base = FolderFromWindows(GetWindowsDirectoryA);
      return true;
    case layout::kDestinationSystem:
      base = FolderFromWindows(GetSystemDirectoryA);
      return true;
    case layout::kDestinationFonts:
      // A fonts folder that cannot be found leaves the base empty.
      GetSpecialFolderPath(base, kFontsFolder);
      return true;
    case layout::kDestinationProgramFiles:
      base = GetProgramFilesDirectory();
      return true;
    case layout::kDestinationCommonFiles:
      base = QueryLocalMachineText("CommonFilesDir");
      return true;
    default:
      return false;
  }
}

bool GetRecordFolder(const FileRecord& record, SharedString& folder) {
  if (!GetDestinationBase(record.DestinationType, folder)) return false;
  folder += '\\';
  folder += record.SubDirectory;
  return true;
}
