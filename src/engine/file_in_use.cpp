#include "engine/file_in_use.h"

#include <windows.h>
#include <restartmanager.h>

#include "base/file_handles.h"
#include "base/folder_security.h"
#include "base/messages.h"
#include "base/path_rules.h"
#include "base/system_library.h"
#include "engine/directory_path.h"
#include "engine/held_folders.h"
#include "state/install_settings.h"

namespace {

// One level of the walk: `*safe` turns false when others may rename or
// replace it or what it holds.
bool CheckLevel(const char* level, void* safe) {
  SharedString path(level);
  if (IsRootFolder(path) && !EndsWithSeparator(path)) path += "\\";
  HANDLE held = HeldApplicationFolders.Find(path);
  HANDLE folder = held != nullptr
                      ? held
                      : OpenItself(path, READ_CONTROL | FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  if (folder == INVALID_HANDLE_VALUE || (RightsOfOthers(folder, false) & kReplaceRights) != 0) {
    *static_cast<bool*>(safe) = false;
  }
  if (held == nullptr && folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
  return true;
}

bool CreateNothing(const char*, void*) { return false; }

// The Restart Manager's functions (rstrtmgr.dll), in the order of kNames.
struct RestartManager {
  DWORD(WINAPI* start)(DWORD*, DWORD, WCHAR*);
  DWORD(WINAPI* add)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
  DWORD(WINAPI* list)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, DWORD*);
  DWORD(WINAPI* end)(DWORD);
};
const char* const kNames[] = {"RmStartSession", "RmRegisterResources", "RmGetList", "RmEndSession"};

// The Restart Manager's name of the first program that uses the file at
// `path`; empty when there is none to tell.
SharedString ProgramUsing(const char* path) {
  HMODULE library = LoadSystemLibrary("rstrtmgr.dll");
  RestartManager rm;
  FARPROC* functions = reinterpret_cast<FARPROC*>(&rm);
  bool found = library != nullptr;
  for (int i = 0; i < 4 && found; ++i) found = (functions[i] = GetProcAddress(library, kNames[i]));
  DWORD session = 0;
  WCHAR key[CCH_RM_SESSION_KEY + 1];
  char name[CCH_RM_MAX_APP_NAME + 1] = "";
  const auto& [start, add, list, end] = rm;
  if (found && start(&session, 0, key) == ERROR_SUCCESS) {
    WCHAR wide[MAX_PATH];
    LPCWSTR files[] = {wide};
    RM_PROCESS_INFO programs[4];
    UINT needed = 0, count = 4;
    DWORD reasons = 0;
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) > 0 &&
        add(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS &&
        list(session, &needed, &count, programs, &reasons) == ERROR_SUCCESS && count > 0) {
      WideCharToMultiByte(CP_ACP, 0, programs[0].strAppName, -1, name, sizeof name, nullptr,
                          nullptr);
    }
    end(session);
  }
  return SharedString(name);
}

}  // namespace

bool MayReplaceAtRestart(const char* folder) {
  if (!RunsAsAdministrator()) return true;
  if (folder[0] == '\\' && folder[1] == '\\') return false;
  bool safe = true;
  const DirectoryOperations check = {CheckLevel, CreateNothing, &safe};
  CreateDirectoryPathWith(folder, check);
  return safe;
}

bool AskToCloseProgramUsing(const char* path) {
  SharedString program = ProgramUsing(path);
  if (program.IsEmpty()) program = ResourceText(IDS_SOME_PROGRAM).Text();
  SharedString text;
  FormatString(text, ResourceText(IDS_FILE_IN_USE).Text(), path, program.Text());
  const MessageBoxRequest request = {nullptr, IDS_FILE_IN_USE, text, Settings.SetupCaption,
                                     MB_RETRYCANCEL | MB_ICONWARNING};
  return ShowMessageBox(request) == IDRETRY;
}
