// What deployment tools are told of setup: the switches of its command line
// (spelt as NSIS installers spell theirs, any case; the uninstaller takes
// the silent and log switches too) and the exit codes they read. Setup
// parses and returns them; vtpack writes them into the manifests of winget
// and Intune.
#ifndef VANTOREL_BASE_DEPLOYMENT_INTERFACE_H
#define VANTOREL_BASE_DEPLOYMENT_INTERFACE_H

namespace switches {

constexpr char kSilent = 'S';           // "/S"
constexpr char kPassive[] = "PASSIVE";  // "/PASSIVE": silent with progress
constexpr char kLog[] = "LOG";          // "/LOG=<file>"
constexpr char kDestination[] = "/D=";  // "/D=<folder>", last
constexpr char kHelp = '?';             // "/?"

}  // namespace switches

// Exit codes. A run without "/S" or "/PASSIVE" ends with 0 or 1 only,
// whatever a restart needs; 3010 is the code Windows Installer gives, which
// deployment tools read as "installed, restart needed".
enum : int {
  kExitDone = 0,
  kExitFailed = 1,
  kExitRestartNeeded = 3010,
  kExitBadCommandLine = 1639,  // nothing was changed
};

#endif
