#include "uninstaller/file_removal.h"

#include <windows.h>

#include <string.h>

#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/uninstall_names.h"
#include "uninstaller/left_items.h"
#include "uninstaller/path_resolution.h"
#include "uninstaller/uninstaller_texts.h"

namespace {

// Deleting fails on a read-only file or folder.
void ClearReadOnly(const char* path, DWORD attributes) {
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
  }
}

// Deletes the file; see RemoveFile.
Removal DeleteOrSchedule(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Removal::kDone
                                                                          : Removal::kFailed;
  }
  ClearReadOnly(path, attributes);
  if (DeleteFileA(path)) return Removal::kDone;
  const DWORD error = GetLastError();
  // A running program's file refuses deletion with "access denied".
  if ((error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
       error == ERROR_ACCESS_DENIED) &&
      ScheduleDeletion(path)) {
    return Removal::kAtRestart;
  }
  return Removal::kFailed;
}

}  // namespace

bool IsReachedDirectly(const char* path, LeftItems& left) {
  switch (HowReached(path)) {
    case Reach::kMissing:
      return false;
    case Reach::kThroughLink:
      left.Add(IDS_UN_LEFT_LINK, path);
      return false;
    case Reach::kDirect:
      break;
  }
  return true;
}

Removal RemoveFile(const char* path, LeftItems& left) {
  const Removal removal = DeleteOrSchedule(path);
  if (removal == Removal::kAtRestart) left.Add(IDS_UN_LEFT_AT_RESTART, path);
  if (removal == Removal::kFailed) left.Add(IDS_UN_LEFT_NOT_REMOVED, path);
  return removal;
}

bool IsUninstallerItself(const char* path) {
  char own[MAX_PATH];
  const DWORD ownLength = GetModuleFileNameA(nullptr, own, MAX_PATH);
  if (ownLength > 0 && ownLength < MAX_PATH && IsSamePath(own, path)) return true;
  char windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  return IsSamePath(SharedString(windows) + "\\" + uninstall::kUninstallerName, path);
}

void KeptFiles::Add(const char* path) { AppendPath(paths_, path); }

bool KeptFiles::Holds(const char* path) const { return ListHoldsPath(paths_, path); }

bool RemoveEmptyFolder(const char* path) {
  ClearReadOnly(path, GetFileAttributesA(path));
  return RemoveDirectoryA(path) != FALSE;
}

bool ScheduleDeletion(const char* path) {
  return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}
