// The destination page: the folder typed or browsed for is where the files
// land (one trailing backslash dropped), and an installed program there is
// only overwritten when the user says so.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "wizard_test_support.h"

using namespace setuptest;
using namespace wizardtest;

namespace {

const char kAppName[] = "VT Wizard Destination";
const char kCaption[] = "VT Wizard Destination Setup";
const Pages kDestinationOnly = {false, false, true, false};

HWND StartAtDestination(robot::Program& setup, const char* folder) {
  setup = StartWizardSetup(folder, WizardPackage(kAppName, kDestinationOnly));
  HWND sheet = WaitForSheet(setup);
  if (sheet) Settle(sheet);
  return sheet;
}

// The install after Finish, ended through the finish dialog.
void ExpectInstall(robot::Program& setup) {
  HWND finish = WaitForFinishDialog(setup, kCaption);
  ASSERT_NE(finish, nullptr) << "no install";
  ASSERT_TRUE(robot::Click(robot::ChildById(finish, IDC_FINISH)));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
}

struct TypedFolder {
  const char* typedEnd;   // typed after the folder's path
  const char* storedEnd;  // what the install's "<Destination>" ends in
};

TEST(DestinationPage, TheTypedFolderIsWhereTheFilesGo) {
  const TypedFolder cases[] = {{"", ""}, {"\\", ""}, {"\\\\", "\\"}};
  for (const TypedFolder& typed : cases) {
    SCOPED_TRACE(std::string("typed with \"") + typed.typedEnd + "\"");
    RemovePath(DefaultDestination(kAppName));
    const std::string folder = ScratchFolder("typed destination") + "\\Chosen Folder";
    robot::Program setup;
    HWND sheet = StartAtDestination(setup, "wizard-destination");
    ASSERT_NE(sheet, nullptr);
    HWND edit = robot::ChildById(sheet, kDestinationEdit);
    EXPECT_EQ(robot::TextOf(edit), DefaultDestination(kAppName));
    EXPECT_EQ(robot::TextOf(robot::ChildById(sheet, IDC_DESTINATION_TEXT)),
              "Setup will install the VT Wizard Destination files into the following directory.");
    ASSERT_TRUE(robot::SetText(edit, folder + typed.typedEnd));
    ASSERT_TRUE(robot::Click(robot::ChildById(sheet, kFinish)));
    ExpectInstall(setup);
    EXPECT_EQ(RecordedDestination(), folder + typed.storedEnd);
    EXPECT_TRUE(Exists(folder + "\\readme.txt"));
    EXPECT_FALSE(Exists(DefaultDestination(kAppName)));
  }
}

// The package's program (demo.exe) already in the chosen folder, as a file
// or as a folder of that name.
struct InstalledProgram {
  const char* name;
  bool (*make)(const std::string& path);
};

const InstalledProgram kInstalledPrograms[] = {
    {"file", [](const std::string& path) { return WriteBytes(path, testpkg::ToBytes("MZ")); }},
    {"folder", [](const std::string& path) { return MakeFolders(path); }},
};

TEST(DestinationPage, AnInstalledProgramIsOverwrittenOnlyAfterYes) {
  for (const InstalledProgram& program : kInstalledPrograms) {
    SCOPED_TRACE(program.name);
    const std::string folder = ScratchFolder("installed program");
    ASSERT_TRUE(program.make(folder + "\\demo.exe"));
    robot::Program setup;
    HWND sheet = StartAtDestination(setup, "wizard-overwrite");
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(robot::SetText(robot::ChildById(sheet, kDestinationEdit), folder));

    for (int answer : {IDNO, IDYES}) {
      ASSERT_TRUE(robot::Click(robot::ChildById(sheet, kFinish)));
      std::optional<robot::MessageBoxContent> box = AnswerNextBox(setup, answer);
      ASSERT_TRUE(box.has_value()) << "no question";
      EXPECT_EQ(box->text, "The program already exists in this\ndirectory, do you want to overwrite it?");
      EXPECT_EQ(box->caption, kCaption);
      EXPECT_EQ(box->icon, robot::BoxIcon::Question) << robot::NameOf(box->icon);
      EXPECT_EQ(box->buttons, (std::vector<std::string>{"&Yes", "&No"}));
      EXPECT_EQ(box->defaultButton, "&No");
      if (answer == IDNO) {
        ASSERT_TRUE(Settle(sheet));
        EXPECT_TRUE(robot::IsVisible(sheet));
        EXPECT_EQ(NameOf(CurrentPage(sheet)), std::string("destination"));
      }
    }
    ExpectInstall(setup);
    EXPECT_TRUE(Exists(folder + "\\readme.txt"));
  }
}

// The shell's folder browser of this setup: a dialog with a folder tree.
HWND WaitForFolderBrowser(const robot::Program& setup) {
  return robot::WaitForTopWindow(setup.Id(), [](HWND window) {
    return robot::ClassOf(window) == "#32770" && robot::ChildById(window, kNext) == nullptr &&
           robot::ChildByText(window, "Select the destination directory.") != nullptr;
  });
}

TEST(DestinationPage, BrowseOpensOnTheTypedFolderAndCancelKeepsIt) {
  const std::string folder = ScratchFolder("browse start");
  robot::Program setup;
  HWND sheet = StartAtDestination(setup, "wizard-browse");
  ASSERT_NE(sheet, nullptr);
  HWND edit = robot::ChildById(sheet, kDestinationEdit);

  // OK at once: the folder the browser opened on comes back.
  ASSERT_TRUE(robot::SetText(edit, folder));
  ASSERT_TRUE(Press(sheet, kBrowse));
  HWND browser = WaitForFolderBrowser(setup);
  ASSERT_NE(browser, nullptr) << "no folder browser";
  robot::SaveWindowScreenshot(browser, "wizard-folder-browser");
  ASSERT_TRUE(robot::Click(robot::ChildById(browser, IDOK)));
  ASSERT_TRUE(robot::WaitForWindowToClose(browser));
  ASSERT_TRUE(Settle(sheet));
  EXPECT_EQ(robot::TextOf(edit), folder);

  // Cancelled: the typed text stays.
  const std::string typed = folder + "\\Not Yet There";
  ASSERT_TRUE(robot::SetText(edit, typed));
  ASSERT_TRUE(Press(sheet, kBrowse));
  browser = WaitForFolderBrowser(setup);
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(robot::Click(robot::ChildById(browser, IDCANCEL)));
  ASSERT_TRUE(robot::WaitForWindowToClose(browser));
  ASSERT_TRUE(Settle(sheet));
  EXPECT_EQ(robot::TextOf(edit), typed);

  ASSERT_TRUE(robot::Click(robot::ChildById(sheet, kFinish)));
  ExpectInstall(setup);
  EXPECT_TRUE(Exists(typed + "\\readme.txt"));
}

}  // namespace
