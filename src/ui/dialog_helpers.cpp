#include "ui/dialog_helpers.h"

#include "base/shared_string.h"
#include "state/install_settings.h"
#include "ui/resource_ids.h"

namespace {

// Template texts are read through a buffer of this many bytes.
const int kTemplateTextSize = 100;

}  // namespace

bool SetDialogIcon(HWND window, int iconId) {
  if (!IsWindow(window)) return false;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  HANDLE small =
      LoadImageA(instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
  if (small) SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  HICON big = LoadIconA(instance, MAKEINTRESOURCEA(iconId));
  if (big) SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  return true;
}

bool CentreWindow(HWND reference, HWND window) {
  RECT outer, inner;
  if (!GetWindowRect(reference, &outer) || !GetWindowRect(window, &inner)) return false;
  int left = outer.left + ((outer.right - outer.left) - (inner.right - inner.left)) / 2;
  int top = outer.top + ((outer.bottom - outer.top) - (inner.bottom - inner.top)) / 2;
  return SetWindowPos(window, nullptr, left, top, 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

void InitialiseSetupDialog(HWND dialog) {
  SetDialogIcon(dialog, IDI_SETUP);
  SetWindowTextA(dialog, Settings.SetupCaption);
}

void FillTemplateText(HWND dialog, int controlId, const char* first, const char* second) {
  char format[kTemplateTextSize] = "";  // stays empty without the control
  GetDlgItemTextA(dialog, controlId, format, kTemplateTextSize);
  SharedString text;
  FormatString(text, format, first, second);
  SetDlgItemTextA(dialog, controlId, text);
}
