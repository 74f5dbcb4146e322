// VTUnInst.exe: the uninstaller that every application installed by
// Vantorel shares. Its command line names the application's uninstall log.
#include <windows.h>

#include "base/program_start.h"
#include "uninstaller/uninstaller.h"

extern "C" __attribute__((force_align_arg_pointer)) void WINAPI UninstallerEntry() {
  StartProgram();
  ExitProcess(static_cast<UINT>(RunUninstaller()));
}
