// vtsetup.exe: the setup program. The package it installs is appended to
// this executable's own file. It starts here, not in the C runtime's
// start-up code (base/program_start.h says why).
#include <windows.h>

#include "base/program_start.h"
#include "setup_program/run_sequence.h"

extern "C" __attribute__((force_align_arg_pointer)) void WINAPI SetupEntry() {
  StartProgram();
  ExitProcess(static_cast<UINT>(RunSetup(GetModuleHandleA(nullptr))));
}
