#include "ui/progress_dialog.h"

#include <commctrl.h>

#include "app/install_settings.h"
#include "base/messages.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"

namespace {

// Drawing the bar and looking at the message queue are slow next to writing
// a small file (under Wine about 5 ms per bar update and 0.3 ms per look at
// the queue), so a package of many small files would spend more time on the
// dialog than on its files. Steps are only counted; the bar is brought up to
// date by the pump, which works at most every kRefreshIntervalMs (a user
// cannot tell), and at the last file.
const DWORD kRefreshIntervalMs = 40;

// The bar's range is its width in pixels, so it is redrawn only when its
// filled part grows by a pixel. Counting files in 32 bits means no number
// of files makes it fill up and start again.
struct BarProgress {
  unsigned files;   // steps that fill the bar
  unsigned done;    // steps made
  unsigned pixels;  // the bar's range
  unsigned shown;   // the bar's position
};
BarProgress bar;

bool pumpedOnce;
DWORD pumpedAt;

void ShowBarProgress(HWND dialog) {
  if (bar.files == 0) return;
  unsigned position = static_cast<unsigned>(
      static_cast<unsigned long long>(bar.done) * bar.pixels / bar.files);
  if (position == bar.shown) return;
  bar.shown = position;
  SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, position, 0);
}

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
  HWND control = GetDlgItem(dialog, IDC_PROGRESS_BAR);
  RECT area = {};
  GetClientRect(control, &area);
  bar = {fileCount, 0, area.right > 0 ? static_cast<unsigned>(area.right) : 1, 0};
  ShowWindow(control, SW_SHOW);
  SendMessageA(control, PBM_SETRANGE32, 0, bar.pixels);
  SendMessageA(control, PBM_SETPOS, 0, 0);
}

void StepProgressBar(HWND dialog) {
  if (!dialog || bar.done >= bar.files) return;
  ++bar.done;
  if (bar.done == bar.files) ShowBarProgress(dialog);
}

void PumpProgressMessages(HWND dialog) {
  if (!dialog) return;
  // After the last file the queue is always read: a Cancel pressed while it
  // was written must still be asked about.
  bool lastFile = bar.files != 0 && bar.done == bar.files;
  if (!lastFile && pumpedOnce && GetTickCount() - pumpedAt < kRefreshIntervalMs) return;
  pumpedOnce = true;
  pumpedAt = GetTickCount();
  ShowBarProgress(dialog);
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
