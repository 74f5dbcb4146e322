#include "ui/closing_dialogs.h"

#include <windows.h>

#include "state/install_settings.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"
#include "ui/restart_computer.h"

namespace {

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

}  // namespace

void ShowFinishDialog() {
  DialogBoxParamA(Settings.InstanceHandle, MAKEINTRESOURCEA(IDD_FINISH), nullptr, FinishDialogProc,
                  0);
}

void ShowRestartDialog() {
  INT_PTR choice = DialogBoxParamA(Settings.InstanceHandle, MAKEINTRESOURCEA(IDD_RESTART), nullptr,
                                   RestartDialogProc, 0);
  if (choice == IDC_RESTART_YES) RestartComputer();
}
