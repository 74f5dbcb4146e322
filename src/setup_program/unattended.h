// What setup does for deployment tools besides installing: the run log of
// "/LOG=", message boxes that under "/S" and "/PASSIVE" go to that log
// instead of the screen, and the help of "/?" (base/deployment_interface.h
// has the switches and exit codes).
#ifndef VANTOREL_SETUP_PROGRAM_UNATTENDED_H
#define VANTOREL_SETUP_PROGRAM_UNATTENDED_H

#include "base/deployment_interface.h"
#include "setup_program/command_line.h"

// Opens the run log when the command line names one, and from then on
// every message box is a line of it too. Under "/S" and "/PASSIVE" no box
// is shown at all: its text goes to the log, and the answer taken is Yes to
// the question before installing over the program (the one question a run
// without a window meets) and OK to the rest.
void BeginRun(const SetupCommandLine& commandLine);

// The box of the switches and exit codes: for "/?", or as an error for the
// argument `wrong`, which the run log names. Captioned with the product's
// name: the package has not been read.
void ShowUsage(const char* wrong);

// Logs `exitCode` as the result and closes the log; returns `exitCode`.
int EndRun(int exitCode);

#endif
