// What deployment tools are told of setup: the switches of its command line
// (spelt as NSIS installers spell theirs, any case; the uninstaller takes
// the silent and log switches too) and the exit codes they read. Setup
// parses and returns them; vtpack writes them into the manifests of winget
// and Intune.
#ifndef VANTOREL_BASE_DEPLOYMENT_INTERFACE_H
#define VANTOREL_BASE_DEPLOYMENT_INTERFACE_H

// Exit codes. Only an unattended run ("/S", "/PASSIVE") reports a restart
// needed: a run with windows offers the restart itself and ends with 0.
// The numbers are macros too, so that the string table's usage text
// (base/message_ids.h) is built from them.
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

namespace switches {

constexpr char kSilent = 'S';           // "/S"
constexpr char kPassive[] = "PASSIVE";  // "/PASSIVE": silent with progress
constexpr char kLog[] = "LOG";          // "/LOG=<file>"
constexpr char kDestination[] = "/D=";  // "/D=<folder>", last
constexpr char kHelp = '?';             // "/?"

}  // namespace switches
#endif

#endif
