// The setup program's command line, spelled as NSIS installers spell theirs
// (deployment tools default to that spelling), in any case:
//   /S            silent: no window; the choices the wizard starts with
//   /PASSIVE      as /S, but the progress dialog shows (without Cancel):
//                 what winget runs by default; /S wins over it
//   /LOG=<file>   a plain-text log of the run
//   /?            the switches and exit codes, in a message box
//   /D=<folder>   the destination: last, and the whole rest of the line,
//                 blanks included; "/D=<folder>" and /D="<folder>" too
// A switch may stand in quotes ("/LOG=C:\a b\x.log", /LOG="C:\a b\x.log").
//
// Works on text alone, so it builds natively too.
#ifndef VANTOREL_SETUP_PROGRAM_COMMAND_LINE_H
#define VANTOREL_SETUP_PROGRAM_COMMAND_LINE_H

#include "base/shared_string.h"

struct SetupCommandLine {
  bool silent = false;
  bool passive = false;
  bool help = false;
  SharedString logPath;      // empty: no log
  SharedString destination;  // empty: the default; else as DestinationFromText made it
  SharedString wrong;        // the argument not understood

  // No page, question, box or closing dialog.
  bool Unattended() const { return silent || passive; }
};

// Fills `parsed` from the whole command line, the program's path first.
// False when an argument is not one of the switches, or the folder of
// "/D=" is not a full path (base/path_rules.h, DestinationFromText); that
// argument is then in `wrong`, and what was read before it stays.
bool ParseSetupCommandLine(const char* commandLine, SetupCommandLine& parsed);

#endif
