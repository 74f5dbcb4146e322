#include "base/system_library.h"

#include <string.h>

namespace {

// Old kernels lack these: looked up at run time, so that the program still
// starts there and its import table stays plain.
typedef BOOL(WINAPI* SetDefaultDllDirectoriesFunction)(DWORD directoryFlags);
typedef BOOL(WINAPI* SetDllDirectoryFunction)(LPCSTR path);

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

const int kInitCommonControlsOrdinal = 17;

// What a probe found loaded from the program's folder when the search was
// not narrowed (DLLs planted beside the program, native ones preferred).
const char* const kLateLoadedLibraries[] = {"uxtheme.dll"};

FARPROC KernelFunction(const char* name) {
  return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

// Casts a looked-up address to the function type of `target`; false when
// the address is null.
template <typename Function>
bool Resolve(HMODULE module, const char* nameOrOrdinal, Function* target) {
  FARPROC address = GetProcAddress(module, nameOrOrdinal);
  *target = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
  return address != nullptr;
}

}  // namespace

void HardenDllSearch() {
  auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(KernelFunction("SetDefaultDllDirectories")));
  if (setDefaultDllDirectories) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  auto setDllDirectory = reinterpret_cast<SetDllDirectoryFunction>(
      reinterpret_cast<void*>(KernelFunction("SetDllDirectoryA")));
  if (setDllDirectory) setDllDirectory("");  // removes the current directory
  LoadLateLoadedSystemLibraries();
}

void LoadLateLoadedSystemLibraries() {
  // Kept loaded until the process ends.
  for (const char* name : kLateLoadedLibraries) LoadSystemLibrary(name);
}

HMODULE LoadSystemLibrary(const char* fileName) {
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  size_t nameLength = strlen(fileName);
  if (length == 0 || length + 1 + nameLength >= MAX_PATH) return nullptr;
  path[length] = '\\';
  memcpy(path + length + 1, fileName, nameLength + 1);
  // The full path decides which file is loaded; the DLL's own imports then
  // follow the search order that HardenDllSearch narrowed.
  return LoadLibraryA(path);
}

const CommonControlsLibrary* GetCommonControlsLibrary() {
  static CommonControlsLibrary library;
  static int state;  // 0 not tried, 1 loaded, -1 missing
  if (state == 0) {
    HMODULE module = LoadSystemLibrary("comctl32.dll");
    bool complete = module &&
                    Resolve(module, MAKEINTRESOURCEA(kInitCommonControlsOrdinal),
                            &library.InitCommonControls) &&
                    Resolve(module, "PropertySheetA", &library.PropertySheetA) &&
                    Resolve(module, "CreatePropertySheetPageA", &library.CreatePropertySheetPageA);
    state = complete ? 1 : -1;
  }
  return state == 1 ? &library : nullptr;
}

const VersionLibrary* GetVersionLibrary() {
  static VersionLibrary library;
  static int state;  // 0 not tried, 1 loaded, -1 missing
  if (state == 0) {
    HMODULE module = LoadSystemLibrary("version.dll");
    bool complete = module &&
                    Resolve(module, "GetFileVersionInfoSizeA", &library.GetFileVersionInfoSizeA) &&
                    Resolve(module, "GetFileVersionInfoA", &library.GetFileVersionInfoA) &&
                    Resolve(module, "VerQueryValueA", &library.VerQueryValueA);
    state = complete ? 1 : -1;
  }
  return state == 1 ? &library : nullptr;
}

bool InitCommonControlsFromSystem() {
  const CommonControlsLibrary* library = GetCommonControlsLibrary();
  if (!library) return false;
  library->InitCommonControls();
  return true;
}
