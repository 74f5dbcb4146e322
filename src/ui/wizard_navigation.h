// Moving through the wizard's pages: which pages the package shows, the
// sheet's buttons as a page is entered and left, and the question on Cancel.
#ifndef VANTOREL_UI_WIZARD_NAVIGATION_H
#define VANTOREL_UI_WIZARD_NAVIGATION_H

#include <windows.h>

// In the sheet's order.
enum class WizardPage { kWelcome, kLicence, kDestination, kShortcuts };

// The wizard sheet's own buttons.
const int kBackButton = 0x3023;
const int kNextButton = 0x3024;
const int kFinishButton = 0x3025;

// The package header's option byte for `page` is set.
bool PageIncluded(WizardPage page);

// PSN_SETACTIVE, PSN_KILLACTIVE and PSN_QUERYCANCEL as every page handles
// them; a page with more to do on them does it besides. Returns what the
// page procedure returns. The first page shown hides Back while it is
// active; the last one asks for Back|Finish, and every page but the
// welcome page asks for Back|Next again when it is left. Button states are
// posted, so that the state the page being left asks for arrives before
// the one the page being entered asks for.
INT_PTR HandlePageNotification(HWND page, WizardPage which, UINT code);

// IDS_CONFIRM_EXIT, owned by the page. Yes lets the sheet close; No keeps it.
INT_PTR ConfirmCancel(HWND page);

#endif
