// The setup program from start to end: start-up, the wizard, the install,
// shortcuts, the uninstall log and one closing dialog.
#ifndef VANTOREL_SETUP_PROGRAM_RUN_SEQUENCE_H
#define VANTOREL_SETUP_PROGRAM_RUN_SEQUENCE_H

#include <windows.h>

// Runs the whole sequence as the command line asks (setup_program/
// command_line.h); returns the process exit code
// (base/deployment_interface.h). Without arguments: 1 when start-up failed,
// the destination was refused or the install failed or was cancelled; 0 otherwise, also
// for a wizard the user left and after a shortcut, the log or the
// program's start failed (each reported).
int RunSetup(HINSTANCE instance);

// The last step of a completed install: the restart dialog when a file
// waits for a restart, else the installed program when the package asks for
// it, else the finish dialog.
void ShowClosingStep();

#endif
