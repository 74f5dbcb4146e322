// Exit codes of the dialog test host: what the host saw that the robot,
// outside the process, cannot see on screen.
#ifndef VANTOREL_TESTS_UI_DIALOG_HOST_RESULTS_H
#define VANTOREL_TESTS_UI_DIALOG_HOST_RESULTS_H

enum HostResult {
  kHostDone = 0,
  kHostFailed = 1,                    // bad arguments, or the dialog failed
  kHostNoRestart = 10,                // the restart dialog ended, no restart asked
  kHostRestarted = 11,                // ExitWindowsEx(EWX_REBOOT, 0), privilege enabled
  kHostWrongRestart = 12,             // restart asked with other arguments
  kHostRestartWithoutPrivilege = 13,  // restart asked, shutdown privilege not enabled
  kHostNotStarted = 20,               // RunInstalledProgram returned false
  kHostCancelled = 30,                // the progress dialog's Cancel was seen
};

// Written by the host when started without arguments, in its own folder:
// the directory it was started in.
constexpr char kTraceFileName[] = "started-in.txt";

#endif
