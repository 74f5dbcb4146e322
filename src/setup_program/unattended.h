// What setup does for deployment tools besides installing: the run log of
// "/LOG=", message boxes that under "/S" go to that log instead of the
// screen, the help of "/?", and the exit codes they read.
#ifndef VANTOREL_SETUP_PROGRAM_UNATTENDED_H
#define VANTOREL_SETUP_PROGRAM_UNATTENDED_H

#include "setup_program/command_line.h"

// Exit codes. A run without "/S" ends with 0 or 1 only, whatever a restart
// needs; 3010 is the code Windows Installer gives, which deployment tools
// read as "installed, restart needed".
enum : int {
  kExitDone = 0,
  kExitFailed = 1,
  kExitRestartNeeded = 3010,
  kExitBadCommandLine = 1639,  // nothing was changed
};

// Opens the run log when the command line names one, and from then on
// every message box is a line of it too. Under "/S" and "/PASSIVE" no box
// is shown at all:
// its text goes to the log, and the answer taken is Yes to the question
// before installing over the program (the one question a run without a
// window meets) and OK to the rest.
void BeginRun(const SetupCommandLine& commandLine);

// The box of the switches and exit codes: for "/?", or as an error for the
// argument `wrong`, which the run log names. Captioned with the product's
// name: the package has not been read.
void ShowUsage(const char* wrong);

// Logs `exitCode` as the result and closes the log; returns `exitCode`.
int EndRun(int exitCode);

#endif
