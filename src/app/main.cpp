// vtsetup.exe: the setup program. The package it installs is appended to
// this executable's own file.
#include <windows.h>

#include "app/run_sequence.h"
#include "base/system_library.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Before anything can load a DLL: no DLLs from the download folder.
  HardenDllSearch();
  return RunSetup(instance);
}
