// The licence page: the package's licence text on white, refusal
// preselected, and the wizard going on only while "I agree" is chosen,
// whichever way the user tries and however often the page is shown.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "robot/screen.h"
#include "wizard_test_support.h"

using namespace setuptest;
using namespace wizardtest;

namespace {

const char kAppName[] = "VT Wizard Licence";

// The colour of the licence text's background below its last line.
uint32_t BackgroundBelowText(HWND edit) {
  RECT area;
  GetWindowRect(edit, &area);
  RECT corner = {area.left + 4, area.bottom - 6, area.left + 5, area.bottom - 5};
  robot::Image pixel = robot::CaptureScreen(corner);
  return pixel.pixels.empty() ? 0xFFFFFFFFu : pixel.pixels[0];
}

// Ways of trying to go on with the licence refused; none may leave it.
void TryToGoOn(HWND sheet) {
  EXPECT_FALSE(Press(sheet, kNext)) << "Next can be clicked";
  // Enter in the page: the dialog manager presses the default button.
  HWND refusal = robot::ChildById(sheet, kDisagree);
  PostMessageA(refusal, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageA(refusal, WM_KEYUP, VK_RETURN, 0);
  ASSERT_TRUE(Settle(sheet));
  EXPECT_EQ(NameOf(CurrentPage(sheet)), std::string("licence"));
}

TEST(LicencePage, TheWizardGoesOnOnlyWhileIAgreeIsChosen) {
  testpkg::TestPackage package = WizardPackage(kAppName, {true, true, true, false});
  robot::Program setup = StartWizardSetup("wizard-licence", package);
  ASSERT_TRUE(setup.Started()) << setup.Error();
  HWND sheet = WaitForSheet(setup);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(Settle(sheet));
  ASSERT_TRUE(Press(sheet, kNext));
  ASSERT_EQ(NameOf(CurrentPage(sheet)), std::string("licence"));

  // The text as the package holds it, lines broken by CR LF.
  HWND text = robot::ChildById(sheet, kLicenceText);
  EXPECT_EQ(robot::TextOf(text), package.licence);
  // Read once the page has painted it: white, and nothing else, comes.
  uint32_t background = 0;
  EXPECT_TRUE(robot::WaitUntil([&] {
    background = BackgroundBelowText(text);
    return background == 0xFFFFFFu;
  })) << "the licence's background is 0x"
      << std::hex << background;
  EXPECT_TRUE(robot::IsChecked(robot::ChildById(sheet, kDisagree)));
  EXPECT_FALSE(robot::IsChecked(robot::ChildById(sheet, kAgree)));
  EXPECT_EQ(Buttons(sheet), "Back Next(off)");
  robot::SaveWindowScreenshot(sheet, "wizard-licence");
  TryToGoOn(sheet);

  // Shown again: still refused.
  ASSERT_TRUE(Press(sheet, kBack));
  EXPECT_EQ(Buttons(sheet), "Next");
  ASSERT_TRUE(Press(sheet, kNext));
  EXPECT_EQ(Buttons(sheet), "Back Next(off)");
  TryToGoOn(sheet);

  ASSERT_TRUE(Press(sheet, kAgree));
  EXPECT_EQ(Buttons(sheet), "Back Next");
  ASSERT_TRUE(Press(sheet, kDisagree));
  EXPECT_EQ(Buttons(sheet), "Back Next(off)");
  TryToGoOn(sheet);

  // Agreed: on, and back again with the agreement kept.
  ASSERT_TRUE(Press(sheet, kAgree));
  ASSERT_TRUE(Press(sheet, kNext));
  EXPECT_EQ(NameOf(CurrentPage(sheet)), std::string("destination"));
  ASSERT_TRUE(Press(sheet, kBack));
  EXPECT_EQ(NameOf(CurrentPage(sheet)), std::string("licence"));
  EXPECT_TRUE(robot::IsChecked(robot::ChildById(sheet, kAgree)));
  EXPECT_EQ(Buttons(sheet), "Back Next");

  ASSERT_TRUE(Press(sheet, kCancel));
  ASSERT_TRUE(AnswerNextBox(setup, IDYES).has_value());
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
}

}  // namespace
