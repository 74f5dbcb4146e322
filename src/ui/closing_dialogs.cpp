#include "ui/closing_dialogs.h"

#include "state/install_settings.h"
#include "base/messages.h"
#include "base/shared_string.h"
#include "base/windows_version.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"

namespace {

ExitWindowsFunction exitWindows = ExitWindowsEx;

// Every command counts as handled, so Escape and the close box (both arrive
// as IDCANCEL) do nothing: "&Finish" is the only way out.
INT_PTR CALLBACK FinishDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitialiseSetupDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_FINISH) EndDialog(dialog, IDC_FINISH);
      return TRUE;
  }
  return FALSE;
}

// Ends with IDC_RESTART_YES or IDC_RESTART_NO, the choice in force when
// "&Finish" was pressed.
INT_PTR CALLBACK RestartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitialiseSetupDialog(dialog);
      CheckDlgButton(dialog, IDC_RESTART_YES, BST_CHECKED);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_FINISH) {
        bool restart = IsDlgButtonChecked(dialog, IDC_RESTART_YES) == BST_CHECKED;
        EndDialog(dialog, restart ? IDC_RESTART_YES : IDC_RESTART_NO);
      }
      return TRUE;
  }
  return FALSE;
}

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

void ShowFinishDialog() {
  DialogBoxParamA(Settings.InstanceHandle, MAKEINTRESOURCEA(IDD_FINISH), nullptr,
                  FinishDialogProc, 0);
}

void ShowRestartDialog() {
  INT_PTR choice = DialogBoxParamA(Settings.InstanceHandle, MAKEINTRESOURCEA(IDD_RESTART),
                                   nullptr, RestartDialogProc, 0);
  if (choice == IDC_RESTART_YES) RestartComputer();
}

void RestartComputer() {
  if (IsWindowsNT() && !EnableShutdownPrivilege()) return;
  exitWindows(EWX_REBOOT, 0);  // the result tells nothing useful: setup ends anyway
}

bool RunInstalledProgram() {
  // Without a program name the path would be the folder itself, which the
  // shell would open in Explorer.
  bool started = false;
  if (Settings.Header.ProgramFileName[0] != '\0') {
    SharedString program;
    FormatString(program, "%s\\%s", Settings.DestinationDir.Text(),
                 Settings.Header.ProgramFileName);
    HINSTANCE result = ShellExecuteA(nullptr, "open", program, nullptr,
                                     Settings.DestinationDir, SW_SHOWNORMAL);
    started = reinterpret_cast<INT_PTR>(result) > 32;
  }
  if (!started) ShowError(nullptr, Settings.SetupCaption, IDS_RUN_PROGRAM);
  return started;
}
