// VTUnInst.exe: the uninstaller that every application installed for the
// machine shares; VTUnInstUser.exe, the same program that a per-user
// package carries (base/install_scope.h). Its command line names the
// application's uninstall log.
#include <windows.h>

#include "base/program_start.h"
#include "uninstaller/uninstaller.h"

extern "C" __attribute__((force_align_arg_pointer)) void WINAPI UninstallerEntry() {
  StartProgram();
  ExitProcess(static_cast<UINT>(RunUninstaller()));
}
