// The banner link at the top left of the wizard's pages, worked with the
// mouse: a blue frame while the pointer is over it, the address in a
// tooltip, and a click (press and release on it) opening the address with
// the browser registered for ".htm" files: here a recorder copy named
// iexplore.exe.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "browser_recorder.h"
#include "hyperlink/hyperlink_address.h"
#include "robot/screen.h"
#include "wizard_test_support.h"

using namespace setuptest;
using namespace wizardtest;
using browsertest::Command;
using browsertest::Recorders;
using browsertest::ScopedRegistryValue;

namespace {

const char kAppName[] = "VT Wizard Banner";

// The link's top and left edges are drawn in pure blue.
bool Framed(HWND link) {
  RECT area;
  GetWindowRect(link, &area);
  robot::Image image = robot::CaptureScreen(area);
  if (image.width == 0) return false;
  for (int x = 0; x < image.width; ++x) {
    if (image.pixels[x] != 0x0000FFu) return false;
  }
  for (int y = 0; y < image.height; ++y) {
    if (image.pixels[size_t(y) * image.width] != 0x0000FFu) return false;
  }
  return true;
}

bool WaitForFrame(HWND link, bool framed) {
  return robot::WaitUntil([&] { return Framed(link) == framed; });
}

HWND WaitForTooltip(const robot::Program& setup) {
  return robot::WaitForTopWindow(setup.Id(), "tooltips_class32", HyperlinkAddress);
}

TEST(BannerLink, FramesShowsTheAddressAndOpensItWhenClicked) {
  Recorders recorders("vantorel banner recorders");
  const std::string browser = recorders.Copy("iexplore.exe");
  ScopedRegistryValue ie(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer", "Version",
                         std::string("11.0"));
  ScopedRegistryValue htm(HKEY_CLASSES_ROOT, ".htm", "",
                          std::string(browsertest::kTestDocumentClass));
  ScopedRegistryValue open(HKEY_CLASSES_ROOT,
                           std::string(browsertest::kTestDocumentClass) + "\\shell\\open\\command",
                           "", Command(browser, "-nohome \"%1\""));

  robot::Program setup =
      StartWizardSetup("wizard-banner", WizardPackage(kAppName, {true, false, false, false}));
  HWND sheet = WaitForSheet(setup);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(Settle(sheet));
  HWND link = robot::ChildById(CurrentPageWindow(sheet), kHyperlink);
  ASSERT_NE(link, nullptr);
  RECT sheetArea;
  GetWindowRect(sheet, &sheetArea);
  // A place on the page away from the link and the buttons.
  const POINT away = {(sheetArea.left + sheetArea.right) / 2, sheetArea.top + 120};
  const POINT onLink = robot::CentreOf(link);

  ASSERT_TRUE(robot::MoveMouseTo(away));
  EXPECT_TRUE(WaitForFrame(link, false));
  ASSERT_TRUE(robot::MoveMouseTo(onLink));
  EXPECT_TRUE(WaitForFrame(link, true)) << "no frame while the pointer is on the link";
  EXPECT_NE(WaitForTooltip(setup), nullptr) << "no tooltip with the address";
  robot::SaveWindowScreenshot(sheet, "wizard-banner-link");
  ASSERT_TRUE(robot::MoveMouseTo(away));
  EXPECT_TRUE(WaitForFrame(link, false)) << "the frame stays after the pointer left";

  // Pressed on the link, released elsewhere: nothing opens. The frame goes
  // only once the release has been handled.
  ASSERT_TRUE(robot::MoveMouseTo(onLink));
  ASSERT_TRUE(WaitForFrame(link, true));
  ASSERT_TRUE(robot::PressLeftButton());
  ASSERT_TRUE(robot::MoveMouseTo(away));
  ASSERT_TRUE(robot::ReleaseLeftButton());
  ASSERT_TRUE(WaitForFrame(link, false));
  ASSERT_TRUE(recorders.WaitUntilNoneRuns());
  EXPECT_EQ(recorders.Launches(), std::vector<std::string>{});

  // A click: the registered browser, without its home page, in a new window.
  ASSERT_TRUE(robot::MoveMouseTo(onLink));
  ASSERT_TRUE(robot::PressLeftButton());
  ASSERT_TRUE(robot::ReleaseLeftButton());
  recorders.WaitForLaunches(1);
  ASSERT_TRUE(recorders.WaitUntilNoneRuns());
  EXPECT_EQ(recorders.Launches(),
            std::vector<std::string>{Command(browser, std::string(" -new ") + HyperlinkAddress)});

  ASSERT_TRUE(robot::MoveMouseTo(away));
  ASSERT_TRUE(Press(sheet, kCancel));
  ASSERT_TRUE(AnswerNextBox(setup, IDYES).has_value());
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
}

}  // namespace
