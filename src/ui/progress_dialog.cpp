#include "ui/progress_dialog.h"

#include <commctrl.h>

#include "base/messages.h"
#include "state/install_settings.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"

namespace {

// Drawing the bar and looking at the message queue are slow next to writing
// a small file (under Wine about 5 ms per bar update and 0.3 ms per look at
// the queue), so a package of many small files would spend more time on the
// dialog than on its files. Steps are only counted; the bar is brought up to
// date by the pump, which works at most every kRefreshIntervalMs (a user
// cannot tell), and at the last file.
const DWORD kRefreshIntervalMs = 100;

// Cancel, Escape and the close box all arrive as IDCANCEL, which counts
// while the button is enabled. Every command counts as handled.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitialiseSetupDialog(dialog);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL && IsWindowEnabled(GetDlgItem(dialog, IDCANCEL))) {
        Settings.CancelRequested = true;
      }
      return TRUE;
  }
  return FALSE;
}

}  // namespace

bool ProgressDialog::Create(bool cancellable) {
  window_ = CreateDialogParamA(Settings.InstanceHandle, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr,
                               ProgressDialogProc, 0);
  if (!cancellable) EnableWindow(GetDlgItem(window_, IDCANCEL), FALSE);
  SetPhase(IDS_READING_DATA);
  return window_ != nullptr;
}

void ProgressDialog::SetPhase(unsigned textId) {
  if (!window_) return;
  ResourceText text(textId);
  SetDlgItemTextA(window_, IDC_PROGRESS_TEXT, text.Text() ? text.Text() : "");
}

void ProgressDialog::ShowBar(unsigned fileCount) {
  if (!window_) return;
  HWND control = GetDlgItem(window_, IDC_PROGRESS_BAR);
  RECT area = {};
  GetClientRect(control, &area);
  files_ = fileCount;
  done_ = 0;
  pixels_ = area.right > 0 ? static_cast<unsigned>(area.right) : 1;
  shown_ = 0;
  ShowWindow(control, SW_SHOW);
  SendMessageA(control, PBM_SETRANGE32, 0, pixels_);
  SendMessageA(control, PBM_SETPOS, 0, 0);
}

void ProgressDialog::ShowBarProgress() {
  if (files_ == 0) return;
  // In double, not 64-bit integers: the 32-bit program needs no division
  // routine for it. Exact, as the product stays below 2^53.
  unsigned position =
      static_cast<unsigned>(static_cast<int>(static_cast<double>(done_) * pixels_ / files_));
  if (position == shown_) return;
  shown_ = position;
  SendDlgItemMessageA(window_, IDC_PROGRESS_BAR, PBM_SETPOS, position, 0);
}

void ProgressDialog::StepBar() {
  if (!window_ || done_ >= files_) return;
  ++done_;
  if (done_ == files_) ShowBarProgress();
}

void ProgressDialog::Pump() {
  if (!window_) return;
  // After the last file the queue is always read: a Cancel pressed while it
  // was written must still be asked about.
  bool lastFile = files_ != 0 && done_ == files_;
  if (!lastFile && pumpedOnce_ && GetTickCount() - pumpedAt_ < kRefreshIntervalMs) return;
  pumpedOnce_ = true;
  pumpedAt_ = GetTickCount();
  ShowBarProgress();
  MSG message;
  while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) {
    // Keyboard use of a modeless dialog (Tab, Space, Escape) needs
    // IsDialogMessage; everything else is dispatched as usual.
    if (!IsDialogMessageA(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

bool ProgressDialog::CancelConfirmed() {
  if (!Settings.CancelRequested) return false;
  if (AskQuestion(window_, Settings.SetupCaption, IDS_CONFIRM_EXIT)) return true;
  Settings.CancelRequested = false;
  return false;
}

void ProgressDialog::Close() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
}
