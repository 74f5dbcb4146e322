#include <windows.h>
#include <prsht.h>

#include "state/install_settings.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"
#include "ui/wizard.h"
#include "ui/wizard_navigation.h"
#include "ui/wizard_pages.h"

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      FillTemplateText(page, IDC_WELCOME_TEXT, Settings.Header.AppName, Settings.TitleText);
      SetDlgItemTextA(GetParent(page), kFinishButton, "&Install");
      // The welcome page is the first one created whenever it is shown.
      CentreSheetOnce(page);
      return FALSE;
    case WM_NOTIFY:
      return HandlePageNotification(page, WizardPage::kWelcome,
                                    reinterpret_cast<const NMHDR*>(lParam)->code);
  }
  return FALSE;
}
