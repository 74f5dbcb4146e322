// Which pages the wizard shows, in which order, with which buttons: one row
// per combination of pages that matters. Each row walks forward to the last
// page, back to the first and forward again, then installs.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wizard_test_support.h"

using namespace setuptest;
using namespace wizardtest;

namespace {

const char kAppName[] = "VT Wizard Pages";
const char kCaption[] = "VT Wizard Pages Setup";

struct PageStep {
  Page page;
  const char* entering;  // the buttons when the page is first shown
  const char* agreed;    // ... once the licence is agreed to (other pages: the same)
};

struct Selection {
  const char* name;
  Pages pages;
  std::vector<PageStep> steps;
};

const Selection kSelections[] = {
    {"welcome only", {true, false, false, false}, {{Page::kWelcome, "Install", "Install"}}},
    {"all four",
     {true, true, true, true},
     {{Page::kWelcome, "Next", "Next"},
      {Page::kLicence, "Back Next(off)", "Back Next"},
      {Page::kDestination, "Back Next", "Back Next"},
      {Page::kShortcuts, "Back Install", "Back Install"}}},
    {"no welcome",
     {false, true, true, true},
     {{Page::kLicence, "Next(off)", "Next"},
      {Page::kDestination, "Back Next", "Back Next"},
      {Page::kShortcuts, "Back Finish", "Back Finish"}}},
    {"licence last",
     {true, true, false, false},
     {{Page::kWelcome, "Next", "Next"}, {Page::kLicence, "Back Install(off)", "Back Install"}}},
    {"licence only", {false, true, false, false}, {{Page::kLicence, "Finish(off)", "Finish"}}},
    {"destination only", {false, false, true, false}, {{Page::kDestination, "Finish", "Finish"}}},
    {"welcome and shortcuts",
     {true, false, false, true},
     {{Page::kWelcome, "Next", "Next"}, {Page::kShortcuts, "Back Install", "Back Install"}}},
};

// Every page carries the banner link, grown or shrunk to its picture.
void ExpectBannerLink(HWND page) {
  HWND link = robot::ChildById(page, kHyperlink);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(robot::ClassOf(link), "BitmapHyperlink");
  RECT client = {};
  GetClientRect(link, &client);
  EXPECT_EQ(client.right, 56);
  EXPECT_EQ(client.bottom, 56);
}

void ExpectPage(HWND sheet, const PageStep& step, const char* buttons) {
  EXPECT_EQ(NameOf(CurrentPage(sheet)), std::string(NameOf(step.page)));
  EXPECT_EQ(Buttons(sheet), buttons) << "on the " << NameOf(step.page) << " page";
}

TEST(PageSelection, ShowsTheSelectedPagesInOrderWithTheirButtons) {
  for (const Selection& row : kSelections) {
    SCOPED_TRACE(row.name);
    RemovePath(DefaultDestination(kAppName));
    robot::Program setup = StartWizardSetup("wizard-pages", WizardPackage(kAppName, row.pages));
    ASSERT_TRUE(setup.Started()) << setup.Error();
    HWND sheet = WaitForSheet(setup);
    ASSERT_NE(sheet, nullptr) << "no wizard";
    ASSERT_TRUE(Settle(sheet));
    EXPECT_EQ(robot::TextOf(sheet), kCaption);
    EXPECT_TRUE(IsCentred(sheet));

    const std::vector<PageStep>& steps = row.steps;
    for (size_t i = 0; i < steps.size(); ++i) {
      ExpectPage(sheet, steps[i], steps[i].entering);
      ExpectBannerLink(CurrentPageWindow(sheet));
      robot::SaveWindowScreenshot(sheet,
                                  std::string("wizard-") + row.name + "-" + NameOf(steps[i].page));
      if (steps[i].page == Page::kLicence) {
        ASSERT_TRUE(Press(sheet, kAgree));
        ExpectPage(sheet, steps[i], steps[i].agreed);
      }
      if (i + 1 < steps.size()) {
        ASSERT_TRUE(Press(sheet, kNext));
      }
    }
    for (size_t i = steps.size() - 1; i-- > 0;) {
      ASSERT_TRUE(Press(sheet, kBack));
      ExpectPage(sheet, steps[i], steps[i].agreed);
    }
    for (size_t i = 1; i < steps.size(); ++i) {
      ASSERT_TRUE(Press(sheet, kNext));
      ExpectPage(sheet, steps[i], steps[i].agreed);
    }

    ASSERT_TRUE(robot::Click(robot::ChildById(sheet, kFinish)));
    HWND finish = WaitForFinishDialog(setup, kCaption);
    ASSERT_NE(finish, nullptr) << "no install after the wizard";
    ASSERT_TRUE(robot::Click(robot::ChildById(finish, IDC_FINISH)));
    EXPECT_EQ(robot::WaitForExit(setup), 0u);
    EXPECT_TRUE(Exists(DefaultDestination(kAppName) + "\\readme.txt"));
    EXPECT_EQ(RecordedDestination(), DefaultDestination(kAppName));
  }
}

TEST(PageSelection, NoPageMeansNoWizardAndTheInstallStarts) {
  RemovePath(DefaultDestination(kAppName));
  robot::Program setup =
      StartWizardSetup("wizard-no-page", WizardPackage(kAppName, {false, false, false, false}));
  ASSERT_TRUE(setup.Started()) << setup.Error();
  bool sheetSeen = false;
  HWND finish = nullptr;
  robot::WaitUntil(
      [&] {
        sheetSeen = sheetSeen || WaitForSheet(setup, 0) != nullptr;
        finish = WaitForFinishDialog(setup, kCaption, 0);
        return finish != nullptr || !setup.Running();
      },
      20000);
  EXPECT_FALSE(sheetSeen);
  ASSERT_NE(finish, nullptr);
  ASSERT_TRUE(robot::Click(robot::ChildById(finish, IDC_FINISH)));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
  EXPECT_TRUE(Exists(DefaultDestination(kAppName) + "\\readme.txt"));
}

}  // namespace
