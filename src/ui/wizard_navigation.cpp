#include "ui/wizard_navigation.h"

#include <windows.h>
#include <prsht.h>

#include "base/messages.h"
#include "state/install_settings.h"

namespace {

bool IsFirstPage(WizardPage which) {
  for (int page = 0; page < static_cast<int>(which); ++page) {
    if (PageIncluded(static_cast<WizardPage>(page))) return false;
  }
  return true;
}

bool IsLastPage(WizardPage which) {
  for (int page = static_cast<int>(which) + 1; page <= static_cast<int>(WizardPage::kShortcuts);
       ++page) {
    if (PageIncluded(static_cast<WizardPage>(page))) return false;
  }
  return true;
}

void ShowBackButton(HWND page, int show) {
  ShowWindow(GetDlgItem(GetParent(page), kBackButton), show);
}

void PostWizardButtons(HWND page, DWORD buttons) {
  PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, buttons);
}

}  // namespace

bool PageIncluded(WizardPage page) {
  const PackageHeader& header = Settings.Header;
  switch (page) {
    case WizardPage::kWelcome:
      return header.ShowWelcomePage != 0;
    case WizardPage::kLicence:
      return header.HasLicence != 0;
    case WizardPage::kDestination:
      return header.ShowDestinationPage != 0;
    case WizardPage::kShortcuts:
      return header.ShowShortcutsPage != 0;
  }
  return false;
}

INT_PTR HandlePageNotification(HWND page, WizardPage which, UINT code) {
  switch (code) {
    case PSN_SETACTIVE:
      if (IsFirstPage(which)) ShowBackButton(page, SW_HIDE);
      if (IsLastPage(which)) PostWizardButtons(page, PSWIZB_BACK | PSWIZB_FINISH);
      return FALSE;  // the page may be shown
    case PSN_KILLACTIVE:
      if (IsFirstPage(which)) ShowBackButton(page, SW_SHOW);
      if (which != WizardPage::kWelcome) PostWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
      return FALSE;  // the page may be left
    case PSN_QUERYCANCEL:
      return ConfirmCancel(page);
  }
  return FALSE;
}

INT_PTR ConfirmCancel(HWND page) {
  bool leave = AskQuestion(page, Settings.SetupCaption, IDS_CONFIRM_EXIT);
  SetWindowLongPtrA(page, DWLP_MSGRESULT, leave ? FALSE : TRUE);
  return TRUE;
}
