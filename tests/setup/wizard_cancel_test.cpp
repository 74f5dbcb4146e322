// Leaving the wizard: Cancel and the close box on every page ask IDS_CONFIRM_EXIT;
// No keeps the page, Yes ends setup with exit code 0 and nothing installed.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wizard_test_support.h"

using namespace setuptest;
using namespace wizardtest;

namespace {

const char kAppName[] = "VT Wizard Cancel";
const char kCaption[] = "VT Wizard Cancel Setup";

struct LeavingWay {
  const char* name;
  bool (*start)(HWND sheet);
};

const LeavingWay kCancelButton = {
    "Cancel", [](HWND sheet) { return robot::Click(robot::ChildById(sheet, kCancel)); }};
const LeavingWay kCloseBox = {
    "close box", [](HWND sheet) { return PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0) != 0; }};

// On each page both ways are answered No; the row's way is then answered
// Yes.
struct CancelRow {
  Page page;
  const LeavingWay* leaveWithYes;
};

const CancelRow kRows[] = {
    {Page::kWelcome, &kCancelButton},
    {Page::kLicence, &kCloseBox},
    {Page::kDestination, &kCancelButton},
    {Page::kShortcuts, &kCloseBox},
};

void ExpectExitQuestion(const robot::MessageBoxContent& box) {
  EXPECT_EQ(box.text, "Are you sure you want to exit the installer?");
  EXPECT_EQ(box.caption, kCaption);
  EXPECT_EQ(box.icon, robot::BoxIcon::Question) << robot::NameOf(box.icon);
  EXPECT_EQ(box.buttons, (std::vector<std::string>{"&Yes", "&No"}));
  EXPECT_EQ(box.defaultButton, "&No");
}

// Answers No to each exit question that follows, and returns how many
// there were. Wine's dialog manager asks twice after the close box: the
// sheet handles WM_CLOSE as Cancel, and the dialog manager then posts a
// Cancel of its own.
int AnswerNoToEachQuestion(const robot::Program& setup, HWND sheet) {
  int questions = 0;
  for (HWND box = robot::WaitForMessageBox(setup.Id(), 20000); box;
       box = robot::WaitForMessageBox(setup.Id(), 0)) {
    ++questions;
    ExpectExitQuestion(robot::ReadMessageBox(box));
    if (!robot::AnswerMessageBox(box, IDNO) || !robot::WaitForWindowToClose(box)) break;
    // Answered once the sheet's thread takes messages again: a Cancel
    // posted on the way back is then in its queue, before what Settle
    // posts, and its question is up when Settle returns.
    DWORD_PTR ignored;
    SendMessageTimeoutA(sheet, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    if (!Settle(sheet)) break;
  }
  return questions;
}

TEST(CancelWizard, EveryPageAsksAndOnlyYesLeaves) {
  const std::string uninstaller = InstalledUninstaller();
  for (const CancelRow& row : kRows) {
    SCOPED_TRACE(NameOf(row.page));
    RemovePath(DefaultDestination(kAppName));
    RemovePath(uninstaller);
    robot::Program setup =
        StartWizardSetup("wizard-cancel", WizardPackage(kAppName, {true, true, true, true}));
    HWND sheet = WaitForSheet(setup);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(Settle(sheet));
    ASSERT_TRUE(GoTo(sheet, row.page));
    const std::string buttons = Buttons(sheet);

    for (const LeavingWay* way : {&kCancelButton, &kCloseBox}) {
      SCOPED_TRACE(way->name);
      ASSERT_TRUE(way->start(sheet));
      int questions = AnswerNoToEachQuestion(setup, sheet);
      if (way == &kCancelButton) {
        EXPECT_EQ(questions, 1);
      } else {
        EXPECT_TRUE(questions == 1 || questions == 2) << questions << " questions";
      }
      EXPECT_TRUE(robot::IsVisible(sheet));
      EXPECT_EQ(NameOf(CurrentPage(sheet)), std::string(NameOf(row.page)));
      EXPECT_EQ(Buttons(sheet), buttons);
    }

    SCOPED_TRACE(std::string("Yes after ") + row.leaveWithYes->name);
    ASSERT_TRUE(row.leaveWithYes->start(sheet));
    std::optional<robot::MessageBoxContent> question = AnswerNextBox(setup, IDYES);
    ASSERT_TRUE(question.has_value()) << "no question";
    ExpectExitQuestion(*question);
    EXPECT_EQ(robot::WaitForExit(setup), 0u);
    EXPECT_FALSE(Exists(DefaultDestination(kAppName)));
    EXPECT_FALSE(Exists(uninstaller));
    EXPECT_EQ(RecordedDestination(), "(missing)");
  }
}

}  // namespace
