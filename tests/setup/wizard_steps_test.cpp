// The wizard run in this process, as the run sequence runs it, for what
// only InstallSettings shows: the shortcut choices the shortcut step gets,
// the link class's cursor, the failures RunWizard reports, and the sheet's
// close box.
#include <windows.h>
#include <prsht.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/messages.h"
#include "base/system_library.h"
#include "hyperlink/hyperlink_control.h"
#include "package/layout.h"
#include "robot/robot.h"
#include "state/install_settings.h"
#include "ui/wizard.h"
#include "wizard_test_support.h"

using namespace setuptest;
using namespace wizardtest;

namespace {

const char kAppName[] = "VT Shortcuts";
const char kCaption[] = "VT Shortcuts Setup";

class WizardStep : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InitCommonControlsFromSystem());
    Settings.InstanceHandle = GetModuleHandleA(nullptr);
    Settings.SetupCaption = kCaption;
    Settings.TitleText = "VT Shortcuts 1.0";
    std::memset(&Settings.Header, 0, sizeof Settings.Header);
    std::strcpy(Settings.Header.AppName, kAppName);
  }
  // Each run registers the link class anew.
  void TearDown() override { UnregisterClassA("BitmapHyperlink", Settings.InstanceHandle); }
};

struct ShortcutCase {
  const char* name;
  bool before[3];           // programs, desktop, startup as InstallSettings holds them
  std::vector<int> clicks;  // check boxes clicked, in order
  bool after[3];
};

const ShortcutCase kShortcutCases[] = {
    {"all kept", {true, true, true}, {}, {true, true, true}},
    {"desktop off", {true, true, true}, {kDesktopBox}, {true, false, true}},
    {"each off, startup on again",
     {true, true, true},
     {kProgramsBox, kDesktopBox, kStartupBox, kStartupBox},
     {false, false, true}},
    {"from the choices held", {false, true, false}, {kProgramsBox}, {true, true, false}},
};

TEST_F(WizardStep, ShortcutChoicesFollowTheCheckBoxes) {
  Settings.Header.ShowShortcutsPage = 1;
  bool InstallSettings::*const choices[] = {&InstallSettings::CreateProgramsShortcut,
                                            &InstallSettings::CreateDesktopShortcut,
                                            &InstallSettings::CreateStartupShortcut};
  const int boxes[] = {kProgramsBox, kDesktopBox, kStartupBox};
  for (const ShortcutCase& shortcut : kShortcutCases) {
    SCOPED_TRACE(shortcut.name);
    for (int i = 0; i < 3; ++i) Settings.*choices[i] = shortcut.before[i];
    std::string heading, startup;
    bool shownAsHeld[3] = {};
    bool pressed = false;
    std::thread user([&] {
      HWND sheet = robot::WaitForTopWindow(GetCurrentProcessId(), "#32770", kCaption);
      if (!sheet || !Settle(sheet)) return;
      heading = robot::TextOf(robot::ChildById(sheet, IDC_SHORTCUTS_TEXT));
      startup = robot::TextOf(robot::ChildById(sheet, kStartupBox));
      for (int i = 0; i < 3; ++i) {
        shownAsHeld[i] = robot::IsChecked(robot::ChildById(sheet, boxes[i])) == shortcut.before[i];
      }
      for (int box : shortcut.clicks) Press(sheet, box);
      pressed = robot::Click(robot::ChildById(sheet, kFinish));
    });
    bool install = RunWizard();
    user.join();
    ASSERT_TRUE(pressed);
    EXPECT_TRUE(install);
    EXPECT_EQ(heading, "Select the shortcuts to VT Shortcuts you want created.");
    EXPECT_EQ(startup, "&Start VT Shortcuts when the computer is turned on");
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(shownAsHeld[i]) << "box " << boxes[i];
      EXPECT_EQ(Settings.*choices[i], shortcut.after[i]) << "box " << boxes[i];
    }
    UnregisterClassA("BitmapHyperlink", Settings.InstanceHandle);
  }
}

// The welcome text with the longest names a package holds runs past the
// template's 100 bytes; it is shown whole.
TEST_F(WizardStep, TheWelcomeTextShowsTheLongestNamesWhole) {
  const std::string appName(layout::kMaxTextLength, 'N');
  const std::string title = appName + " 1.0.0.0";
  std::strcpy(Settings.Header.AppName, appName.c_str());
  Settings.TitleText = title.c_str();
  Settings.SetupCaption = kCaption;
  Settings.Header.ShowWelcomePage = 1;
  std::string welcome;
  bool pressed = false;
  std::thread user([&] {
    HWND sheet = robot::WaitForTopWindow(GetCurrentProcessId(), "#32770", kCaption);
    if (!sheet || !Settle(sheet)) return;
    welcome = robot::TextOf(robot::ChildById(sheet, IDC_WELCOME_TEXT));
    pressed = robot::Click(robot::ChildById(sheet, kFinish));
  });
  bool install = RunWizard();
  user.join();
  ASSERT_TRUE(pressed);
  EXPECT_TRUE(install);
  EXPECT_EQ(welcome, "Welcome to the " + appName + " Setup program. This program will install " +
                         title + " onto your computer.");
}

TEST_F(WizardStep, ALinkClassThatCannotBeRegisteredEndsSetupWithAWarning) {
  Settings.Header.ShowWelcomePage = 1;
  ASSERT_TRUE(RegisterHyperlinkClass());  // taken already: the wizard's own attempt fails
  support::BoxRecorder recorder;
  EXPECT_FALSE(RunWizard());
  ASSERT_EQ(recorder.Boxes().size(), 1u);
  EXPECT_EQ(recorder.Boxes()[0].owner, nullptr);
  EXPECT_EQ(recorder.Boxes()[0].text, "Unable to register hyperlink bitmap class!");
  EXPECT_EQ(recorder.Boxes()[0].caption, kCaption);
  EXPECT_EQ(recorder.Boxes()[0].style, unsigned(kBoxWarning));
}

TEST_F(WizardStep, TheLinkClassShowsTheLinkCursor) {
  ASSERT_TRUE(RegisterHyperlinkClass());
  WNDCLASSA linkClass = {};
  ASSERT_TRUE(GetClassInfoA(Settings.InstanceHandle, "BitmapHyperlink", &linkClass));
  HCURSOR linkCursor = LoadCursorA(Settings.InstanceHandle, MAKEINTRESOURCEA(126));
  ASSERT_NE(linkCursor, nullptr);
  EXPECT_EQ(linkClass.hCursor, linkCursor);
}

// The system's sheet template may come without a system menu; both forms
// of dialog template get one, and nothing else changes.
TEST(SheetPreCreate, GivesTheSheetTemplateAMenuAndCloseBox) {
  const DWORD style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
  DLGTEMPLATE plain = {};
  plain.style = style;
  EXPECT_EQ(SheetPreCreate(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(&plain)), 0);
  EXPECT_EQ(plain.style, style | WS_SYSMENU);

  // DLGTEMPLATEEX: version 1, signature 0xFFFF, help id, extended style, style.
  DWORD extended[4] = {0xFFFF0001u, 0, WS_EX_CONTROLPARENT, style};
  SheetPreCreate(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(extended));
  EXPECT_EQ(extended[0], 0xFFFF0001u);
  EXPECT_EQ(extended[2], DWORD(WS_EX_CONTROLPARENT));
  EXPECT_EQ(extended[3], style | WS_SYSMENU);

  DLGTEMPLATE later = {};
  later.style = style;
  SheetPreCreate(nullptr, PSCB_INITIALIZED, reinterpret_cast<LPARAM>(&later));
  EXPECT_EQ(later.style, style);
}

}  // namespace
