// Restarting Windows when setup ends: the restart dialog's "Yes".
#ifndef VANTOREL_UI_RESTART_COMPUTER_H
#define VANTOREL_UI_RESTART_COMPUTER_H

#include <windows.h>

// Enables the shutdown privilege (on NT) and asks Windows to restart. Fails
// silently: when the privilege cannot be enabled nothing happens.
void RestartComputer();

// The one call that actually restarts Windows (ExitWindowsEx by default).
// Tests put a recorder in its place. Null restores ExitWindowsEx; returns
// the function that was in place.
typedef BOOL(WINAPI* ExitWindowsFunction)(UINT flags, DWORD reason);
ExitWindowsFunction SetExitWindowsFunction(ExitWindowsFunction function);

#endif
