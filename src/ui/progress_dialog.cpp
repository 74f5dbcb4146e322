#include "ui/progress_dialog.h"

#include <commctrl.h>

#include "app/install_settings.h"
#include "base/messages.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"

namespace {

// Cancel, Escape and the close box all arrive as IDCANCEL. Every command
// counts as handled.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDialogIcon(dialog, IDI_SETUP);
      SetWindowTextA(dialog, Settings.SetupCaption);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) Settings.CancelRequested = true;
      return TRUE;
  }
  return FALSE;
}

}  // namespace

HWND CreateProgressDialog() {
  return CreateDialogParamA(Settings.InstanceHandle, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr,
                            ProgressDialogProc, 0);
}

void SetProgressPhase(HWND dialog, unsigned textId) {
  if (!dialog) return;
  ResourceText text(textId);
  SetDlgItemTextA(dialog, IDC_PROGRESS_TEXT, text.text() ? text.text() : "");
}

void ShowProgressBar(HWND dialog, unsigned fileCount) {
  if (!dialog) return;
  HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
  ShowWindow(bar, SW_SHOW);
  // The 32-bit range: with PBM_SETRANGE's 16-bit maximum a package of 65,536
  // files or more would fill the bar and start again from empty.
  SendMessageA(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(fileCount));
  SendMessageA(bar, PBM_SETSTEP, 1, 0);
}

void StepProgressBar(HWND dialog) {
  if (dialog) SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}

void PumpProgressMessages(HWND dialog) {
  if (!dialog) return;
  MSG message;
  while (PeekMessageA(&message, dialog, 0, 0, PM_REMOVE)) {
    // Keyboard use of a modeless dialog (Tab, Space, Escape) needs
    // IsDialogMessage; everything else is dispatched as usual.
    if (!IsDialogMessageA(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

void DestroyProgressDialog(HWND dialog) {
  if (dialog) DestroyWindow(dialog);
}
