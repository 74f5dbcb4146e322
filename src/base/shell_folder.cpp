#include "base/shell_folder.h"

#include <windows.h>
#include <shlobj.h>

bool GetSpecialFolderPath(SharedString& path, int csidl) {
  path.Empty();
  LPITEMIDLIST folder = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &folder))) return false;
  // SHGetPathFromIDListA writes at most MAX_PATH characters.
  char* buffer = path.GetBufferOfLength(MAX_PATH);
  buffer[0] = '\0';
  SHGetPathFromIDListA(folder, buffer);
  path.ReleaseBuffer();
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator))) {
    path.Empty();
    return false;
  }
  allocator->Free(folder);
  allocator->Release();
  return true;
}
