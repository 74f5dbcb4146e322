// vtsetup.exe: the setup program. The package it installs is appended to
// this executable's own file.
//
// The program starts here, not in the C runtime's start-up code: it needs
// none of its command-line, TLS or floating-point set-up, and leaving it
// out keeps the program small. msvcrt.dll initialises itself when it is
// loaded; only the static constructors must be run. (The link refuses
// auto-imported symbols, which the start-up code would have had to fix up
// at run time.)
#include <windows.h>

#include "app/run_sequence.h"
#include "base/system_library.h"

extern "C" void __main();  // libmingw32: runs the static constructors once

// The start-up code also supplies atexit, with which the static
// constructors register their destructors. The program ends in ExitProcess
// and has nothing to tidy: those destructors would only free memory.
extern "C" int atexit(void (*)(void)) { return 0; }

extern "C" __attribute__((force_align_arg_pointer)) void WINAPI SetupEntry() {
  // Before anything can load a DLL: no DLLs from the download folder.
  HardenDllSearch();
  __main();
  ExitProcess(static_cast<UINT>(RunSetup(GetModuleHandleA(nullptr))));
}
