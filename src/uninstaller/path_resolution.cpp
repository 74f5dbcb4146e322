#include "uninstaller/path_resolution.h"

#include <windows.h>

#include "base/file_handles.h"

SharedString LongPath(const char* path) {
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return SharedString();
  char longPath[MAX_PATH];
  length = GetLongPathNameA(full, longPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return SharedString();
  return SharedString(longPath);
}

SharedString CanonicalPath(const char* path) {
  const SharedString longPath = LongPath(path);
  if (longPath.IsEmpty()) return longPath;
  SharedString final;
  HANDLE file = CreateFileA(longPath, FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    final = FinalPathOf(file);
    CloseHandle(file);
  }
  return final.IsEmpty() ? longPath : final;
}
