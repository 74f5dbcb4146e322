#include <windows.h>
#include <prsht.h>

#include "state/install_settings.h"
#include "ui/resource_ids.h"
#include "ui/wizard.h"
#include "ui/wizard_navigation.h"
#include "ui/wizard_pages.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
HBRUSH licenceBrush = nullptr;  // the licence text's background, while the page lives

// Next and Finish (whichever the sheet shows) follow the user's answer.
void EnableForwardButtons(HWND page, bool enable) {
  HWND sheet = GetParent(page);
  EnableWindow(GetDlgItem(sheet, kNextButton), enable);
  EnableWindow(GetDlgItem(sheet, kFinishButton), enable);
}

}  // namespace

INT_PTR CALLBACK LicencePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(page, IDC_LICENCE_TEXT, Settings.LicenceText);
      licenceBrush = CreateSolidBrush(kWhite);
      CheckDlgButton(page, IDC_DISAGREE, BST_CHECKED);  // refusal is the default
      CentreSheetOnce(page);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      // The read-only licence text shows on white, as a document does.
      if (GetWindowLongA(reinterpret_cast<HWND>(lParam), GWL_ID) != IDC_LICENCE_TEXT) return FALSE;
      SetBkColor(reinterpret_cast<HDC>(wParam), kWhite);
      return reinterpret_cast<INT_PTR>(licenceBrush);
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_AGREE) EnableForwardButtons(page, true);
      if (LOWORD(wParam) == IDC_DISAGREE) EnableForwardButtons(page, false);
      return TRUE;
    case WM_NOTIFY: {
      UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
      INT_PTR result = HandlePageNotification(page, WizardPage::kLicence, code);
      // Posted behind the button state that entering the page posted, so
      // that a refusal still in force disables what that state enabled.
      if (code == PSN_SETACTIVE && IsDlgButtonChecked(page, IDC_DISAGREE) == BST_CHECKED) {
        PostMessageA(page, WM_COMMAND, IDC_DISAGREE, 0);
      }
      if (code == PSN_KILLACTIVE) EnableForwardButtons(page, true);
      return result;
    }
    case WM_DESTROY:
      DeleteObject(licenceBrush);
      licenceBrush = nullptr;
      return FALSE;
  }
  return FALSE;
}
