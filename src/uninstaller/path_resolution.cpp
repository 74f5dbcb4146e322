#include "uninstaller/path_resolution.h"

#include <windows.h>

#include <string.h>

#include "base/path_rules.h"

namespace {

typedef DWORD(WINAPI* GetFinalPathFunction)(HANDLE file, LPSTR path, DWORD size, DWORD flags);

GetFinalPathFunction FinalPathFunction() {
  return reinterpret_cast<GetFinalPathFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
}

// The name of what `path` leads to, links resolved; empty where Windows
// cannot tell.
SharedString FinalPath(const char* path) {
  const GetFinalPathFunction getFinalPath = FinalPathFunction();
  if (getFinalPath == nullptr) return SharedString();
  HANDLE file = CreateFileA(path, FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return SharedString();
  char final[MAX_PATH];
  const DWORD length = getFinalPath(file, final, MAX_PATH, 0);
  CloseHandle(file);
  if (length == 0 || length >= MAX_PATH) return SharedString();
  // "\\?\C:\..." or "\\?\UNC\server\share\...".
  if (strncmp(final, "\\\\?\\UNC\\", 8) == 0) return SharedString("\\\\") + (final + 8);
  if (strncmp(final, "\\\\?\\", 4) == 0) return SharedString(final + 4);
  return SharedString(final);
}

SharedString LongPath(const char* path) {
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return SharedString();
  char longPath[MAX_PATH];
  length = GetLongPathNameA(full, longPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return SharedString();
  return SharedString(longPath);
}

bool IsReparsePoint(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Whether a part of `path` below its drive or share, itself included, is
// a reparse point.
bool PassesReparsePoint(const SharedString& path) {
  for (int end = path.Length(); end > 3;) {
    const SharedString part = path.Middle(0, end);
    if (IsReparsePoint(part)) return true;
    end = LastSeparator(part);
  }
  return false;
}

}  // namespace

SharedString CanonicalPath(const char* path) {
  const SharedString longPath = LongPath(path);
  if (longPath.IsEmpty()) return longPath;
  const SharedString final = FinalPath(longPath);
  return final.IsEmpty() ? longPath : final;
}

Reach HowReached(const char* path) {
  if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
    // Anything else than a missing path: deleting it fails too, and says so.
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Reach::kMissing
                                                                          : Reach::kDirect;
  }
  const SharedString longPath = LongPath(path);
  if (longPath.IsEmpty() || PassesReparsePoint(longPath)) return Reach::kThroughLink;
  // Wine shows a symbolic link to a file as a plain file: only the name
  // behind the handle tells.
  const SharedString final = FinalPath(longPath);
  return final.IsEmpty() || IsSamePath(final, longPath) ? Reach::kDirect : Reach::kThroughLink;
}
