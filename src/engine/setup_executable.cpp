#include "engine/setup_executable.h"

#include <windows.h>
#include <stdlib.h>

#include "base/messages.h"

SharedString SetupExecutablePath() {
  SharedString path;
  DWORD length = GetModuleFileNameA(nullptr, path.GetBufferOfLength(MAX_PATH), MAX_PATH);
  // A truncated name (length MAX_PATH) is kept: opening it fails and names it.
  path.ReleaseBuffer(length <= MAX_PATH ? static_cast<int>(length) : 0);
  return path;
}

namespace {

// Windows' longest path, in UTF-16 units, with its terminator.
const DWORD kLongestWidePath = 32768;

// The executable's file by its UTF-16 name: a folder whose name the 8-bit
// code page cannot spell ("?" in the 8-bit path) still opens.
bool OpenOwnFile(Win32PackageFile& file) {
  wchar_t* path = static_cast<wchar_t*>(malloc(kLongestWidePath * sizeof(wchar_t)));
  if (path == nullptr) return false;
  DWORD length = GetModuleFileNameW(nullptr, path, kLongestWidePath);
  bool opened = length > 0 && length < kLongestWidePath && file.Open(path);
  free(path);
  return opened;
}

}  // namespace

bool OpenSetupExecutable(Win32PackageFile& file, const char* path, const char* caption) {
  if (OpenOwnFile(file)) return true;
  ShowError(nullptr, caption, IDS_OPEN_FILE, path);
  return false;
}
