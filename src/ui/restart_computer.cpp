#include "ui/restart_computer.h"

#include "base/windows_version.h"

namespace {

ExitWindowsFunction exitWindows = ExitWindowsEx;

// ExitWindowsEx needs SeShutdownPrivilege enabled in the process token. A
// token without the privilege makes AdjustTokenPrivileges succeed with
// ERROR_NOT_ALL_ASSIGNED, which counts as a failure here.
bool EnableShutdownPrivilege() {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return false;
  }
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool enabled = LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) &&
                 AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                 GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return enabled;
}

}  // namespace

ExitWindowsFunction SetExitWindowsFunction(ExitWindowsFunction function) {
  ExitWindowsFunction previous = exitWindows;
  exitWindows = function ? function : ExitWindowsEx;
  return previous;
}

void RestartComputer() {
  if (IsWindowsNT() && !EnableShutdownPrivilege()) return;
  exitWindows(EWX_REBOOT, 0);  // the result tells nothing useful: setup ends anyway
}
