// The exit codes of setup and the uninstaller, which deployment tools read.
// Only a silent run ("/S") reports a restart needed: a run with windows
// offers the restart itself and ends with 0. The numbers are macros too, so
// that the string table's usage text (base/message_ids.h) is built from
// them.
#ifndef VANTOREL_BASE_EXIT_CODES_H
#define VANTOREL_BASE_EXIT_CODES_H

#define VT_EXIT_DONE 0
#define VT_EXIT_FAILED 1
// The code Windows Installer gives, which deployment tools read as "done,
// restart needed".
#define VT_EXIT_RESTART_NEEDED 3010
// An unknown switch or a bad argument: nothing was changed.
#define VT_EXIT_BAD_COMMAND_LINE 1639

#ifndef RC_INVOKED
enum : int {
  kExitDone = VT_EXIT_DONE,
  kExitFailed = VT_EXIT_FAILED,
  kExitRestartNeeded = VT_EXIT_RESTART_NEEDED,
  kExitBadCommandLine = VT_EXIT_BAD_COMMAND_LINE,
};
#endif

#endif
