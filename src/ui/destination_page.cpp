#include <windows.h>
#include <prsht.h>

#include "base/messages.h"
#include "base/shared_string.h"
#include "state/install_settings.h"
#include "ui/destination_choice.h"
#include "ui/dialog_helpers.h"
#include "ui/folder_browser.h"
#include "ui/resource_ids.h"
#include "ui/wizard.h"
#include "ui/wizard_navigation.h"
#include "ui/wizard_pages.h"

namespace {

// DestinationDir takes the edit's text, at most 259 characters.
void ReadDestination(HWND page) {
  GetDlgItemTextA(page, IDC_DESTINATION_EDIT, Settings.DestinationDir.GetBuffer(MAX_PATH),
                  MAX_PATH);
  Settings.DestinationDir.ReleaseBuffer();
}

// The edit shows the chosen folder; DestinationDir follows when the page
// is left.
void BrowseForDestination(HWND page) {
  ReadDestination(page);
  FolderBrowser browser("Select the destination directory.", Settings.DestinationDir, page);
  if (browser.Browse()) SetDlgItemTextA(page, IDC_DESTINATION_EDIT, browser.SelectedPath());
}

// Leaving forwards: the folder is taken when setup can install there, and
// when the package's program is already there (a file or a folder of its
// name) the user is asked first. -1 stays on the page.
INT_PTR AcceptDestination(HWND page) {
  ReadDestination(page);
  if (!TakeDestination(page, Settings.DestinationDir)) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, -1);
    return TRUE;
  }
  SharedString program;
  FormatString(program, "%s\\%s", Settings.DestinationDir.Text(), Settings.Header.ProgramFileName);
  if (GetFileAttributesA(program) == INVALID_FILE_ATTRIBUTES) return FALSE;
  bool overwrite = AskQuestion(page, Settings.SetupCaption, IDS_PROGRAM_EXISTS);
  SetWindowLongPtrA(page, DWLP_MSGRESULT, overwrite ? 0 : -1);
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      // What does not fit DestinationDir cannot be typed.
      SendDlgItemMessageA(page, IDC_DESTINATION_EDIT, EM_LIMITTEXT, MAX_PATH - 1, 0);
      SetDlgItemTextA(page, IDC_DESTINATION_EDIT, Settings.DestinationDir);
      FillTemplateText(page, IDC_DESTINATION_TEXT, Settings.Header.AppName);
      CentreSheetOnce(page);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_BROWSE) BrowseForDestination(page);
      return TRUE;
    case WM_NOTIFY: {
      UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
      // Going back keeps the edit's text without taking it.
      if (code == PSN_WIZNEXT || code == PSN_WIZFINISH) return AcceptDestination(page);
      return HandlePageNotification(page, WizardPage::kDestination, code);
    }
  }
  return FALSE;
}
