// Driving the setup wizard as a user does: the sheet, its pages and
// buttons, read and pressed through the robot. Packages are built by hand
// with the pages a test wants (setup_test_support.h).
#ifndef VANTOREL_TESTS_SUPPORT_WIZARD_TEST_SUPPORT_H
#define VANTOREL_TESTS_SUPPORT_WIZARD_TEST_SUPPORT_H

#include <windows.h>

#include <string>

#include "setup_test_support.h"

namespace wizardtest {

// The sheet's buttons (comctl32's ids) and the pages' controls (the setup
// program's own).
constexpr int kBack = 0x3023;
constexpr int kNext = 0x3024;
constexpr int kFinish = 0x3025;
constexpr int kCancel = IDCANCEL;
constexpr int kLicenceText = IDC_LICENCE_TEXT, kAgree = IDC_AGREE, kDisagree = IDC_DISAGREE;
constexpr int kDestinationEdit = IDC_DESTINATION_EDIT, kBrowse = IDC_BROWSE;
constexpr int kProgramsBox = IDC_PROGRAMS_SHORTCUT, kDesktopBox = IDC_DESKTOP_SHORTCUT,
              kStartupBox = IDC_STARTUP_SHORTCUT;
constexpr int kHyperlink = IDC_HYPERLINK;

enum class Page { kNone, kWelcome, kLicence, kDestination, kShortcuts };
const char* NameOf(Page page);

// Which pages a package selects.
struct Pages {
  bool welcome, licence, destination, shortcuts;
};

// A package named `appName` with `pages`, the real uninstaller, readme.txt
// and the registry value HKCU\<kRecordKey> InstallDir = "<Destination>".
testpkg::TestPackage WizardPackage(const std::string& appName, const Pages& pages);
constexpr char kRecordKey[] = "Software\\VantorelWizardTest";
std::string RecordedDestination();  // InstallDir, or "(missing)"
// Writes the package's setup file into a scratch folder of its own and
// starts it.
robot::Program StartWizardSetup(const std::string& folder, const testpkg::TestPackage& package);

// The wizard sheet of `setup` (a "#32770" with a Next button), or null.
HWND WaitForSheet(const robot::Program& setup, DWORD timeoutMs = 20000);
HWND CurrentPageWindow(HWND sheet);
Page CurrentPage(HWND sheet);
// The sheet's Back, Next and Finish buttons as the user sees them, e.g.
// "Back Next(off)": hidden ones are left out, "(off)" marks a disabled
// one, and Finish is named by its label without "&" ("Install", "Finish").
std::string Buttons(HWND sheet);
// Clicks the control `id` of the sheet or of its current page, then waits
// until the sheet has handled the click and what it posted in turn. False
// when the control is missing, hidden or disabled, or the sheet is gone
// (Finish: click it with the robot).
bool Press(HWND sheet, int id, DWORD timeoutMs = robot::kDefaultTimeoutMs);
// Waits until what was posted to the sheet has been handled.
bool Settle(HWND sheet, DWORD timeoutMs = robot::kDefaultTimeoutMs);
// The sheet's rectangle is centred on the screen (to a pixel).
bool IsCentred(HWND sheet);

// Goes forward (Next) until `page` is current, agreeing to a licence on
// the way. False when it is not reached.
bool GoTo(HWND sheet, Page page, DWORD timeoutMs = robot::kDefaultTimeoutMs);

}  // namespace wizardtest

#endif
