// The setup program's last step: the finish dialog, the restart dialog, or
// the installed program started without a dialog. All read InstallSettings
// (SetupCaption, InstanceHandle, DestinationDir, Header.ProgramFileName).
#ifndef VANTOREL_UI_CLOSING_DIALOGS_H
#define VANTOREL_UI_CLOSING_DIALOGS_H

#include <windows.h>

// "Setup is complete!": modal, no owner; only "&Finish" closes it.
void ShowFinishDialog();

// Offers to restart the computer now ("Yes", preselected) or later; only
// "&Finish" closes it, and the computer is restarted after it when "Yes"
// was chosen.
void ShowRestartDialog();

// Starts <DestinationDir>\<ProgramFileName> in DestinationDir. When it
// cannot be started, shows "Unable to run program." and returns false.
bool RunInstalledProgram();

// Enables the shutdown privilege (on NT) and asks Windows to restart. Fails
// silently: when the privilege cannot be enabled nothing happens.
void RestartComputer();

// The one call that actually restarts Windows (ExitWindowsEx by default).
// Tests put a recorder in its place. Null restores ExitWindowsEx; returns
// the function that was in place.
typedef BOOL(WINAPI* ExitWindowsFunction)(UINT flags, DWORD reason);
ExitWindowsFunction SetExitWindowsFunction(ExitWindowsFunction function);

#endif
