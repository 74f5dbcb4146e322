#include "wizard_test_support.h"

#include <commctrl.h>

#include <cstdlib>

namespace wizardtest {

using namespace setuptest;

const char* NameOf(Page page) {
  switch (page) {
    case Page::kNone:
      return "none";
    case Page::kWelcome:
      return "welcome";
    case Page::kLicence:
      return "licence";
    case Page::kDestination:
      return "destination";
    case Page::kShortcuts:
      return "shortcuts";
  }
  return "?";
}

testpkg::TestPackage WizardPackage(const std::string& appName, const Pages& pages) {
  testpkg::TestPackage package = PackageWithoutPages(appName);
  package.showWelcomePage = pages.welcome;
  package.hasLicence = pages.licence;
  package.licence = "Licence of " + appName + "\r\n\r\nSecond paragraph.";
  package.showDestinationPage = pages.destination;
  package.showShortcutsPage = pages.shortcuts;
  AddFile(package, "readme.txt", testpkg::ToBytes("Readme of " + appName + ".\r\n"));
  package.registry[1] = {{kRecordKey, {{REG_SZ, "InstallDir=<Destination>"}}}};
  return package;
}

std::string RecordedDestination() {
  return RegistryText(HKEY_CURRENT_USER, kRecordKey, "InstallDir").value_or("(missing)");
}

robot::Program StartWizardSetup(const std::string& folder, const testpkg::TestPackage& package) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kRecordKey);
  return StartSetup(WriteSetup(folder, SetupFileAround(testpkg::BuildPackage(package))));
}

HWND WaitForSheet(const robot::Program& setup, DWORD timeoutMs) {
  return robot::WaitForTopWindow(
      setup.Id(),
      [](HWND window) {
        return robot::ClassOf(window) == "#32770" && robot::ChildById(window, kNext);
      },
      timeoutMs);
}

HWND CurrentPageWindow(HWND sheet) {
  DWORD_PTR page = 0;
  SendMessageTimeoutA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, 2000, &page);
  return reinterpret_cast<HWND>(page);
}

Page CurrentPage(HWND sheet) {
  HWND page = CurrentPageWindow(sheet);
  if (!page) return Page::kNone;
  if (robot::ChildById(page, IDC_WELCOME_TEXT)) return Page::kWelcome;
  if (robot::ChildById(page, kLicenceText)) return Page::kLicence;
  if (robot::ChildById(page, kDestinationEdit)) return Page::kDestination;
  if (robot::ChildById(page, kProgramsBox)) return Page::kShortcuts;
  return Page::kNone;
}

std::string Buttons(HWND sheet) {
  std::string shown;
  for (int id : {kBack, kNext, kFinish}) {
    HWND button = robot::ChildById(sheet, id);
    if (!robot::IsVisible(button)) continue;
    std::string name = id == kBack ? "Back" : id == kNext ? "Next" : robot::TextOf(button);
    if (id == kFinish && !name.empty() && name[0] == '&') name.erase(0, 1);
    if (!shown.empty()) shown += ' ';
    shown += name + (robot::IsEnabled(button) ? "" : "(off)");
  }
  return shown;
}

bool Settle(HWND sheet, DWORD timeoutMs) {
  return robot::WaitForPostedMessages(robot::ChildById(sheet, kCancel), timeoutMs);
}

bool Press(HWND sheet, int id, DWORD timeoutMs) {
  return robot::Click(robot::ChildById(sheet, id)) && Settle(sheet, timeoutMs);
}

bool IsCentred(HWND sheet) {
  RECT area;
  if (!GetWindowRect(sheet, &area)) return false;
  int left = (GetSystemMetrics(SM_CXSCREEN) - (area.right - area.left)) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - (area.bottom - area.top)) / 2;
  return std::abs(area.left - left) <= 1 && std::abs(area.top - top) <= 1;
}

// Under emulation a page's controls show, and the sheet switches pages,
// seconds after the click that asked for it.
bool GoTo(HWND sheet, Page page, DWORD timeoutMs) {
  for (int step = 0; step < 4; ++step) {
    Page current = CurrentPage(sheet);
    if (current == page) return true;
    if (current == Page::kLicence) {
      HWND agree = robot::ChildById(sheet, kAgree);
      if (!robot::WaitUntil([&] { return robot::IsVisible(agree); }, timeoutMs) ||
          !Press(sheet, kAgree, timeoutMs)) {
        return false;
      }
    }
    HWND next = robot::ChildById(sheet, kNext);
    if (!robot::WaitUntil([&] { return robot::IsEnabled(next); }, timeoutMs) ||
        !Press(sheet, kNext, timeoutMs) ||
        !robot::WaitUntil([&] { return CurrentPage(sheet) != current; }, timeoutMs)) {
      return false;
    }
  }
  return CurrentPage(sheet) == page;
}

}  // namespace wizardtest
