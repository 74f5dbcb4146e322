#include "uninstaller/application_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <string.h>

#include "base/shell_folder.h"
#include "uninstaller/path_rules.h"

namespace {

// Folders that hold more than one application's things. 32-bit programs on
// 64-bit Windows get the 32-bit program-files folders from the CSIDLs; the
// environment names the others.
const int kSystemFolders[] = {
    CSIDL_WINDOWS,           CSIDL_SYSTEM,
    CSIDL_SYSTEMX86,         CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILESX86,  CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_FONTS,
    CSIDL_PROFILE,           CSIDL_DESKTOPDIRECTORY,
    CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PERSONAL,
    CSIDL_COMMON_DOCUMENTS,  CSIDL_APPDATA,
    CSIDL_LOCAL_APPDATA,     CSIDL_COMMON_APPDATA,
    CSIDL_STARTMENU,         CSIDL_COMMON_STARTMENU,
    CSIDL_PROGRAMS,          CSIDL_COMMON_PROGRAMS,
    CSIDL_STARTUP,           CSIDL_COMMON_STARTUP,
};
const char* const kSystemFolderVariables[] = {"ProgramW6432", "CommonProgramW6432"};

typedef DWORD(WINAPI* GetFinalPathFunction)(HANDLE file, LPSTR path, DWORD size, DWORD flags);

// The path with links resolved (Windows Vista on); unchanged where Windows
// cannot tell.
SharedString ResolveLinks(const SharedString& path) {
  auto getFinalPath = reinterpret_cast<GetFinalPathFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
  if (getFinalPath == nullptr) return path;
  HANDLE folder = CreateFileA(path, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return path;
  char final[MAX_PATH];
  const DWORD length = getFinalPath(folder, final, MAX_PATH, 0);
  CloseHandle(folder);
  if (length == 0 || length >= MAX_PATH) return path;
  // "\\?\C:\..." or "\\?\UNC\server\share\...".
  if (strncmp(final, "\\\\?\\UNC\\", 8) == 0) return SharedString("\\\\") + (final + 8);
  if (strncmp(final, "\\\\?\\", 4) == 0) return SharedString(final + 4);
  return SharedString(final);
}

// Full, with long names and links resolved; empty when the path cannot be
// told (or does not exist).
SharedString CanonicalPath(const char* path) {
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return SharedString();
  char longPath[MAX_PATH];
  length = GetLongPathNameA(full, longPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return SharedString();
  return ResolveLinks(longPath);
}

bool HoldsSystemFolder(const SharedString& folder, const char* systemFolder) {
  if (systemFolder[0] == '\0') return false;
  const SharedString canonical = CanonicalPath(systemFolder);
  return !canonical.IsEmpty() && IsSameOrAbove(folder, canonical);
}

bool IsSystemFolderOrAbove(const SharedString& folder) {
  SharedString path;
  for (int csidl : kSystemFolders) {
    if (GetSpecialFolderPath(path, csidl) && HoldsSystemFolder(folder, path)) return true;
  }
  for (const char* name : kSystemFolderVariables) {
    char value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    if (length > 0 && length < MAX_PATH && HoldsSystemFolder(folder, value)) return true;
  }
  char windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  return length > 0 && length < MAX_PATH && HoldsSystemFolder(folder, windows);
}

}  // namespace

bool FindApplicationFolder(const char* logPath, SharedString& folder) {
  const int separator = LastSeparator(logPath);
  if (separator < 0) return false;
  // "C:\Uninst.log" lies in "C:\", not in "C:" (the current folder there).
  folder = SharedString(logPath).Middle(0, separator > 2 ? separator : separator + 1);
  const SharedString canonical = CanonicalPath(folder);
  if (canonical.IsEmpty()) return false;  // the message names the folder as given
  folder = canonical;
  return !IsRootFolder(folder) && !IsSystemFolderOrAbove(folder);
}
