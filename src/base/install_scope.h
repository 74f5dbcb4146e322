// Whether the running program (setup or the uninstaller) works for the
// signed-in user alone or for the whole machine. A per-user program's
// manifest asks Windows to run it as the user who starts it
// (base/execution_level.h): vtpack writes that into the setup program of a
// per-user package, and the per-user uninstaller is built with it. Such a
// program never needs an administrator: it installs into the user's own
// folders, and keeps the application's Uninstall entry, its records and
// its file types under HKEY_CURRENT_USER.
#ifndef VANTOREL_BASE_INSTALL_SCOPE_H
#define VANTOREL_BASE_INSTALL_SCOPE_H

#include <windows.h>

// True when the program's own manifest asks to run as the invoking user.
bool IsPerUserScope();

// HKEY_CURRENT_USER for a per-user program, else HKEY_LOCAL_MACHINE: the
// root of the Uninstall entry.
HKEY ScopeRoot();

#endif
