// The uninstaller's command line, as the Uninstall entry's "UninstallString"
// gives it: the uninstaller's own path, a blank, and the full path of the
// application's "Uninst.log" -- the whole rest of the line, blanks included,
// unquoted.
#ifndef VANTOREL_UNINSTALLER_COMMAND_LINE_H
#define VANTOREL_UNINSTALLER_COMMAND_LINE_H

#include "base/shared_string.h"

// Puts the log's path into `logPath`. The program's own path may be quoted;
// unquoted, it ends at the first blank after ".exe", so a Windows directory
// with blanks still works. A log path in quotes loses them, and trailing
// blanks (which Windows drops from a path) go. False when the rest is not
// the full path of a file named "Uninst.log".
bool LogPathFromCommandLine(const char* commandLine, SharedString& logPath);

#endif
