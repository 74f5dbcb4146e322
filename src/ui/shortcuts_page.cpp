#include <windows.h>
#include <prsht.h>

#include "state/install_settings.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"
#include "ui/wizard.h"
#include "ui/wizard_navigation.h"
#include "ui/wizard_pages.h"

namespace {

struct ShortcutChoice {
  int checkBox;
  bool InstallSettings::*choice;
};

const ShortcutChoice kShortcutChoices[] = {
    {IDC_PROGRAMS_SHORTCUT, &InstallSettings::CreateProgramsShortcut},
    {IDC_DESKTOP_SHORTCUT, &InstallSettings::CreateDesktopShortcut},
    {IDC_STARTUP_SHORTCUT, &InstallSettings::CreateStartupShortcut},
};

}  // namespace

INT_PTR CALLBACK ShortcutsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      for (const ShortcutChoice& shortcut : kShortcutChoices) {
        CheckDlgButton(page, shortcut.checkBox,
                       Settings.*shortcut.choice ? BST_CHECKED : BST_UNCHECKED);
      }
      FillTemplateText(page, IDC_SHORTCUTS_TEXT, Settings.Header.AppName);
      FillTemplateText(page, IDC_STARTUP_SHORTCUT, Settings.Header.AppName);
      CentreSheetOnce(page);
      return TRUE;
    case WM_COMMAND:
      // The automatic check boxes flip themselves on every click; each
      // click flips the choice along with them.
      for (const ShortcutChoice& shortcut : kShortcutChoices) {
        if (LOWORD(wParam) == shortcut.checkBox)
          Settings.*shortcut.choice = !(Settings.*shortcut.choice);
      }
      return TRUE;
    case WM_NOTIFY:
      return HandlePageNotification(page, WizardPage::kShortcuts,
                                    reinterpret_cast<const NMHDR*>(lParam)->code);
  }
  return FALSE;
}
