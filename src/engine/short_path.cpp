#include "engine/short_path.h"

#include <windows.h>

SharedString ShortPathOf(const char* path) {
  SharedString shortPath;
  DWORD length = GetShortPathNameA(path, shortPath.GetBufferOfLength(MAX_PATH), MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return SharedString(path);
  shortPath.ReleaseBuffer(static_cast<int>(length));
  return shortPath;
}
