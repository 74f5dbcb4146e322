#include "engine/file_timestamp.h"

#include <windows.h>

bool SetFileTimestamp(const char* path, DateTime& timestamp, bool fromLocal) {
  FILETIME lastWrite;
  if (!timestamp.ToFileTime(fromLocal, &lastWrite)) return false;
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool set = SetFileTime(file, nullptr, nullptr, &lastWrite) != FALSE;
  CloseHandle(file);
  return set;
}
