// The uninstaller's command line. As the Uninstall entry's "UninstallString"
// gives it: the uninstaller's own path, a blank, and the full path of the
// application's "Uninst.log" -- the whole rest of the line, blanks
// included, unquoted. As its "QuietUninstallString" gives it, or a
// deployment tool writes it: switches between the two, "/S" (silent) and
// "/LOG=<file>" (a log of the run), in any case, and the log's path in
// quotes.
#ifndef VANTOREL_UNINSTALLER_COMMAND_LINE_H
#define VANTOREL_UNINSTALLER_COMMAND_LINE_H

#include "base/shared_string.h"

struct UninstallerCommandLine {
  bool silent = false;
  SharedString runLogPath;  // empty: no log of the run
  SharedString logPath;     // the application's "Uninst.log"
};

// Fills `parsed`. The program's own path may be quoted; unquoted, it ends
// at the first blank after ".exe", so a Windows directory with blanks
// still works. A log path in quotes loses them, and trailing blanks (which
// Windows drops from a path) go. False when a switch is unknown or the
// rest is not the full path of a file named "Uninst.log"; the switches
// read until then stay in `parsed`.
bool ParseUninstallerCommandLine(const char* commandLine, UninstallerCommandLine& parsed);

// The log's path alone, switches allowed before it.
bool LogPathFromCommandLine(const char* commandLine, SharedString& logPath);

// The command line of the copy that removes a per-user uninstaller's own
// file once it has ended (uninstaller/own_file_removal.h):
//   "<copy>" /REMOVE=<process handle> "<uninstaller>" ["<folder>"]
// the handle in decimal, the paths full.
struct RemoverCommandLine {
  unsigned long process = 0;
  SharedString uninstaller;
  SharedString folder;  // empty: the folder stays
};
bool ParseRemoverCommandLine(const char* commandLine, RemoverCommandLine& parsed);

#endif
