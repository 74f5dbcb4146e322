#include "uninstaller/application_folder.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "base/path_rules.h"
#include "base/shell_folder.h"
#include "uninstaller/path_resolution.h"

namespace {

// Shell folders that hold more than one application's things or the
// user's own, as Windows has named them since before known folders (the
// only names Windows XP has). 32-bit programs on 64-bit Windows get the
// 32-bit program-files folders from the CSIDLs; the environment names the
// others.
const int kShellFolders[] = {
    CSIDL_SYSTEM,
    CSIDL_SYSTEMX86,
    CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILESX86,
    CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_PROGRAM_FILES_COMMONX86,
    CSIDL_FONTS,
    CSIDL_PROFILE,
    CSIDL_DESKTOPDIRECTORY,
    CSIDL_COMMON_DESKTOPDIRECTORY,
    CSIDL_PERSONAL,
    CSIDL_COMMON_DOCUMENTS,
    CSIDL_MYPICTURES,
    CSIDL_COMMON_PICTURES,
    CSIDL_MYMUSIC,
    CSIDL_COMMON_MUSIC,
    CSIDL_MYVIDEO,
    CSIDL_COMMON_VIDEO,
    CSIDL_FAVORITES,
    CSIDL_COMMON_FAVORITES,
    CSIDL_APPDATA,
    CSIDL_LOCAL_APPDATA,
    CSIDL_COMMON_APPDATA,
    CSIDL_STARTMENU,
    CSIDL_COMMON_STARTMENU,
    CSIDL_PROGRAMS,
    CSIDL_COMMON_PROGRAMS,
    CSIDL_STARTUP,
    CSIDL_COMMON_STARTUP,
    CSIDL_TEMPLATES,
    CSIDL_COMMON_TEMPLATES,
    CSIDL_SENDTO,
    CSIDL_RECENT,
    CSIDL_NETHOOD,
    CSIDL_PRINTHOOD,
    CSIDL_COOKIES,
    CSIDL_HISTORY,
    CSIDL_INTERNET_CACHE,
    CSIDL_ADMINTOOLS,
    CSIDL_COMMON_ADMINTOOLS,
    CSIDL_CDBURN_AREA,
};
const char* const kFolderVariables[] = {"ProgramW6432", "CommonProgramW6432"};

// Whether `folder` (canonical) is `shellFolder` or lies above it. A shell
// folder that does not exist is compared as named.
bool HoldsShellFolder(const SharedString& folder, const char* shellFolder) {
  if (!IsFullPath(shellFolder)) return false;  // virtual, or no path at all
  const SharedString canonical = CanonicalPath(shellFolder);
  return IsSameOrAbove(folder, canonical.IsEmpty() ? SharedString(shellFolder) : canonical);
}

// The folder at `path` in the 8-bit code page. A name the code page cannot
// spell is cut back to the last folder above it that it can: no 8-bit path
// leads to a place below that folder, and the folder itself and those
// above it are the ones to refuse.
SharedString NarrowPath(const wchar_t* path) {
  int length = lstrlenW(path);
  for (;;) {
    char narrow[MAX_PATH];
    BOOL lossy = FALSE;
    const int written = length == 0
                            ? 0
                            : WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path, length,
                                                  narrow, MAX_PATH - 1, nullptr, &lossy);
    if (written > 0 && !lossy) {
      narrow[written] = '\0';
      return SharedString(narrow);
    }
    while (length > 0 && path[length - 1] != L'\\') --length;
    if (length == 0) return SharedString();
    --length;  // the "\"
  }
}

// Every folder Windows knows by a known-folder id (Vista on): the per-user
// and common folders, Downloads, Saved Games, Links, ... and those that
// other programs registered.
bool HoldsKnownFolder(const SharedString& folder) {
  IKnownFolderManager* manager = nullptr;
  if (FAILED(CoCreateInstance(CLSID_KnownFolderManager, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IKnownFolderManager, reinterpret_cast<void**>(&manager)))) {
    return false;
  }
  KNOWNFOLDERID* ids = nullptr;
  UINT count = 0;
  bool holds = false;
  if (SUCCEEDED(manager->GetFolderIds(&ids, &count))) {
    for (UINT i = 0; i < count && !holds; ++i) {
      IKnownFolder* known = nullptr;
      if (FAILED(manager->GetFolder(ids[i], &known))) continue;
      wchar_t* path = nullptr;
      if (SUCCEEDED(known->GetPath(KF_FLAG_DONT_VERIFY, &path))) {
        holds = HoldsShellFolder(folder, NarrowPath(path));
        CoTaskMemFree(path);
      }
      known->Release();
    }
    CoTaskMemFree(ids);
  }
  manager->Release();
  return holds;
}

bool IsRefusedFolder(const SharedString& folder) {
  if (IsRootFolder(folder)) return true;
  char windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return true;  // nothing to tell it by
  const SharedString canonicalWindows = CanonicalPath(windows);
  if (IsSameOrAbove(canonicalWindows.IsEmpty() ? SharedString(windows) : canonicalWindows,
                    folder) ||
      HoldsShellFolder(folder, windows)) {
    return true;
  }
  SharedString path;
  for (int csidl : kShellFolders) {
    if (GetSpecialFolderPath(path, csidl) && HoldsShellFolder(folder, path)) return true;
  }
  for (const char* name : kFolderVariables) {
    char value[MAX_PATH];
    const DWORD valueLength = GetEnvironmentVariableA(name, value, MAX_PATH);
    if (valueLength > 0 && valueLength < MAX_PATH && HoldsShellFolder(folder, value)) return true;
  }
  const bool comReady = SUCCEEDED(CoInitialize(nullptr));
  const bool known = HoldsKnownFolder(folder);
  if (comReady) CoUninitialize();
  return known;
}

}  // namespace

bool IsApplicationsOwnFolder(const SharedString& folder) { return !IsRefusedFolder(folder); }

FolderOpening OpenApplicationFolder(const char* given, HeldFolders& held, SharedString& folder) {
  folder = LongPath(given);
  if (folder.IsEmpty()) return FolderOpening::kMissing;
  // DELETE: the folder goes through this handle once it is empty.
  switch (held.Hold(folder, DELETE | FILE_WRITE_ATTRIBUTES)) {
    case Holding::kHeld:
      return FolderOpening::kOpen;
    case Holding::kMissing:
      return FolderOpening::kMissing;
    case Holding::kNotItself:
      break;
  }
  const SharedString canonical = CanonicalPath(given);
  folder = canonical.IsEmpty() ? SharedString(given) : canonical;
  return FolderOpening::kNotItself;
}
