#include "ui/wizard.h"

#include <windows.h>
#include <prsht.h>
#include <stddef.h>

#include "base/messages.h"
#include "base/system_library.h"
#include "hyperlink/hyperlink_control.h"
#include "state/install_settings.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"
#include "ui/wizard_navigation.h"
#include "ui/wizard_pages.h"

namespace {

struct PageEntry {
  WizardPage page;
  int templateId;
  DLGPROC procedure;
};

// The sheet's order; pages the package does not select are left out.
const PageEntry kPages[] = {
    {WizardPage::kWelcome, IDD_WELCOME, WelcomePageProc},
    {WizardPage::kLicence, IDD_LICENCE, LicencePageProc},
    {WizardPage::kDestination, IDD_DESTINATION, DestinationPageProc},
    {WizardPage::kShortcuts, IDD_SHORTCUTS, ShortcutsPageProc},
};
const int kPageCount = sizeof kPages / sizeof kPages[0];

bool sheetCentred = false;  // by the first page of this run

// The first form of PROPSHEETPAGEA, which every comctl32 version reads.
// The sheet steps through the page array by each page's size, so the array
// holds exactly this form (PROPSHEETPAGEA itself has grown since).
struct PageDescriptor {
  DWORD dwSize;
  DWORD dwFlags;
  HINSTANCE hInstance;
  LPCSTR pszTemplate;
  HICON hIcon;
  LPCSTR pszTitle;
  DLGPROC pfnDlgProc;
  LPARAM lParam;
  LPFNPSPCALLBACKA pfnCallback;
  UINT* pcRefParent;
};
static_assert(sizeof(PageDescriptor) == offsetof(PROPSHEETPAGEA, pcRefParent) + sizeof(UINT*),
              "the first PROPSHEETPAGEA form: 40 bytes in 32-bit programs");
static_assert(offsetof(PageDescriptor, pfnDlgProc) == offsetof(PROPSHEETPAGEA, pfnDlgProc),
              "laid out as PROPSHEETPAGEA");

// The dialog template's style: DLGTEMPLATEEX (marked by 0xFFFF in its
// second word) keeps it behind the help id and extended style.
DWORD* TemplateStyle(void* dialogTemplate) {
  WORD* words = static_cast<WORD*>(dialogTemplate);
  DWORD* dwords = static_cast<DWORD*>(dialogTemplate);
  return words[1] == 0xFFFF ? &dwords[3] : &dwords[0];
}

}  // namespace

void CentreSheetOnce(HWND page) {
  if (sheetCentred) return;
  CentreWindow(GetDesktopWindow(), GetParent(page));
  sheetCentred = true;
}

int CALLBACK SheetPreCreate(HWND, UINT message, LPARAM lParam) {
  if (message == PSCB_PRECREATE) *TemplateStyle(reinterpret_cast<void*>(lParam)) |= WS_SYSMENU;
  return 0;
}

bool RunWizard() {
  int count = 0;
  for (const PageEntry& entry : kPages) count += PageIncluded(entry.page) ? 1 : 0;
  if (count == 0) return true;

  if (!RegisterHyperlinkClass()) {
    ShowWarning(Settings.SetupCaption, "Unable to register hyperlink bitmap class!");
    return false;
  }

  PageDescriptor pages[kPageCount] = {};
  int filled = 0;
  for (const PageEntry& entry : kPages) {
    if (!PageIncluded(entry.page)) continue;
    PageDescriptor& page = pages[filled++];
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USETITLE;
    page.hInstance = Settings.InstanceHandle;
    page.pszTemplate = MAKEINTRESOURCEA(entry.templateId);
    page.pszTitle = Settings.SetupCaption;
    page.pfnDlgProc = entry.procedure;
  }

  PROPSHEETHEADERA header = {};
  header.dwSize = PROPSHEETHEADERA_V1_SIZE;
  header.dwFlags = PSH_USECALLBACK | PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_USEICONID;
  header.hInstance = Settings.InstanceHandle;
  header.pszIcon = MAKEINTRESOURCEA(IDI_SETUP);
  header.nPages = static_cast<UINT>(count);
  header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages);
  header.pfnCallback = SheetPreCreate;
  sheetCentred = false;

  const CommonControlsLibrary* commonControls = GetCommonControlsLibrary();
  INT_PTR result = commonControls != nullptr ? commonControls->PropertySheetA(&header) : -1;
  if (result == -1) {
    ShowWarning(Settings.SetupCaption, "Unable to display property sheet!");
    return false;
  }
  return result > 0;
}
