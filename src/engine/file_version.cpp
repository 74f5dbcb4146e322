#include "engine/file_version.h"

#include <windows.h>
#include <stdlib.h>

#include "base/system_library.h"

bool GetFileVersion(const char* path, uint16_t version[4]) {
  const VersionLibrary* library = GetVersionLibrary();
  if (library == nullptr) return false;
  DWORD unused = 0;
  DWORD size = library->GetFileVersionInfoSizeA(path, &unused);
  if (size == 0) return false;
  void* block = malloc(size);
  if (block == nullptr) return false;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedLength = 0;
  bool found =
      library->GetFileVersionInfoA(path, 0, size, block) &&
      library->VerQueryValueA(block, "\\", reinterpret_cast<void**>(&fixed), &fixedLength) &&
      fixed != nullptr && fixedLength >= sizeof(VS_FIXEDFILEINFO);
  if (found) {
    version[0] = HIWORD(fixed->dwFileVersionMS);
    version[1] = LOWORD(fixed->dwFileVersionMS);
    version[2] = HIWORD(fixed->dwFileVersionLS);
    version[3] = LOWORD(fixed->dwFileVersionLS);
  }
  free(block);
  return found;
}
