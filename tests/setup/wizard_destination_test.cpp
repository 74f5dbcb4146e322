// The destination page: the folder typed or browsed for is where the files
// land, in the form the uninstaller finds again, and the default without
// the page the same; a folder setup cannot install into, or another
// application's, is refused; an installed program there is only
// overwritten when the user says so.
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

// Removes what the install at `folder` put there through its Uninstall
// entry, as Windows starts it: every folder setup installs into, the
// uninstaller finds again.
void Uninstall(const std::string& appName, const std::string& folder) {
  auto command = RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(appName), "UninstallString");
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ(*command, InstalledUninstaller() + " " + folder + "\\Uninst.log");
  robot::Program uninstaller = robot::StartCommandLine(*command);
  auto confirmation = AnswerNextBox(uninstaller, IDYES);
  ASSERT_TRUE(confirmation.has_value());
  EXPECT_EQ(confirmation->text,
            "Are you sure you want to remove " + appName + " and all of its components?");
  auto removed = AnswerNextBox(uninstaller, IDOK);
  ASSERT_TRUE(removed.has_value());
  EXPECT_EQ(removed->text, appName + " was removed from your computer.");
  EXPECT_EQ(robot::WaitForExit(uninstaller), 0u);
  EXPECT_FALSE(Exists(folder));
}

// Leaves the wizard through Cancel and Yes.
void CancelWizard(robot::Program& setup, HWND sheet) {
  ASSERT_TRUE(robot::Click(robot::ChildById(sheet, kCancel)));
  ASSERT_TRUE(AnswerNextBox(setup, IDYES).has_value());
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
}

// Typed, refused: the page says why and stays.
void ExpectRefusal(robot::Program& setup, HWND sheet, const std::string& text) {
  ASSERT_TRUE(robot::Click(robot::ChildById(sheet, kFinish)));
  std::optional<robot::MessageBoxContent> box = AnswerNextBox(setup, IDOK);
  ASSERT_TRUE(box.has_value()) << "no refusal";
  EXPECT_EQ(*box, (robot::MessageBoxContent{kCaption, text, robot::BoxIcon::Error, {"OK"}, "OK"}));
  ASSERT_TRUE(Settle(sheet));
  EXPECT_EQ(NameOf(CurrentPage(sheet)), std::string("destination"));
}

struct TypedFolder {
  const char* what;
  std::string typed;
  std::string installedIn;  // empty: refused
};

// The folder typed is taken in the form the uninstaller finds it in again:
// "/" as "\", one trailing "\" dropped, the blanks and dots that end a
// name trimmed as Windows trims them. What is not the full path of a
// folder is refused on the page. What was installed, the uninstaller
// removes.
TEST(DestinationPage, TheTypedFolderIsWhereTheFilesGo) {
  const std::string folder = ScratchFolder("typed destination") + "\\Chosen Folder";
  const std::string forms = "C:\\VT Forms";
  const TypedFolder cases[] = {
      {"as it is", folder, folder},
      {"one trailing backslash", folder + "\\", folder},
      {"two trailing backslashes", folder + "\\\\", ""},
      {"forward slashes", "C:/VT Forms/Forward", forms + "\\Forward"},
      {"a trailing blank", forms + "\\Blank ", forms + "\\Blank"},
      {"a trailing dot", forms + "\\Dot.", forms + "\\Dot"},
      {"no drive", "VT Forms\\Relative", ""},
      {"a drive without its root", "C:VT Forms\\X", ""},
      {"nothing", "", ""},
  };
  for (const TypedFolder& c : cases) {
    SCOPED_TRACE(c.what);
    RemovePath(DefaultDestination(kAppName));
    RemovePath(forms);
    // An install elsewhere before would be removed with this one.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey(kAppName).c_str());
    robot::Program setup;
    HWND sheet = StartAtDestination(setup, "wizard-destination");
    ASSERT_NE(sheet, nullptr);
    HWND edit = robot::ChildById(sheet, kDestinationEdit);
    EXPECT_EQ(robot::TextOf(edit), DefaultDestination(kAppName));
    EXPECT_EQ(robot::TextOf(robot::ChildById(sheet, IDC_DESTINATION_TEXT)),
              "Setup will install the VT Wizard Destination files into the following directory.");
    ASSERT_TRUE(robot::SetText(edit, c.typed));
    if (c.installedIn.empty()) {
      ExpectRefusal(setup, sheet,
                    "Setup can't install into '" + c.typed + "'. Type a full path like C:\\App.");
      CancelWizard(setup, sheet);
      continue;
    }
    ASSERT_TRUE(robot::Click(robot::ChildById(sheet, kFinish)));
    ExpectInstall(setup);
    EXPECT_EQ(RecordedDestination(), c.installedIn);
    EXPECT_TRUE(Exists(c.installedIn + "\\readme.txt"));
    EXPECT_FALSE(Exists(DefaultDestination(kAppName)));
    Uninstall(kAppName, c.installedIn);
  }
  RemovePath(forms);
}

// Without the destination page, the default destination is taken as a
// typed one: an application's name that ends in a blank or a dot gives a
// folder trimmed as Windows trims it, which the uninstaller then finds; a
// default that is not a folder's full path stops setup before it writes
// anything.
TEST(DestinationPage, WithoutThePageTheDefaultIsTakenTheSameWay) {
  const struct {
    const char* appName;
    const char* folder;  // below the program-files folder; empty: refused
  } cases[] = {{"VT Trailing ", "VT Trailing"}, {"VT Dot.", "VT Dot"}, {"VT Bar|Name", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.appName);
    const std::string installedIn = ProgramFilesDirectory() + "\\" + c.folder;
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey(c.appName).c_str());
    testpkg::TestPackage package = PackageWithoutPages(c.appName);
    package.checkProgramNotRunning = 0;
    AddFile(package, "readme.txt", testpkg::ToBytes("read me"));
    const SetupRun run = RunSetupToEnd(
        WriteSetup("default destination", SetupFileAround(testpkg::BuildPackage(package))),
        std::string(c.appName) + " Setup");
    if (c.folder[0] == '\0') {
      ASSERT_EQ(run.boxes.size(), 1u);
      EXPECT_EQ(run.boxes[0].text, "Setup can't install into '" + DefaultDestination(c.appName) +
                                       "'. Type a full path like C:\\App.");
      EXPECT_EQ(run.exitCode, 1u);
      EXPECT_FALSE(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(c.appName), "DisplayName"));
      continue;
    }
    ASSERT_TRUE(run.finishDialog);
    EXPECT_TRUE(Exists(installedIn + "\\readme.txt"));
    Uninstall(c.appName, installedIn);
  }
}

// One application per folder: the names of the log and the record are
// fixed, so a folder that holds another application's is refused, on the
// page (which stays) or, without it, before anything is written.
TEST(DestinationPage, AnotherApplicationsFolderIsRefused) {
  const std::string first = DefaultDestination("VT First Application");
  testpkg::TestPackage package = PackageWithoutPages("VT First Application");
  package.checkProgramNotRunning = 0;
  RemovePath(first);
  ASSERT_TRUE(RunSetupToEnd(
                  WriteSetup("first application", SetupFileAround(testpkg::BuildPackage(package))),
                  "VT First Application Setup")
                  .finishDialog);
  const std::string refusal = "'" + first + "' holds another application.";

  robot::Program setup;
  HWND sheet = StartAtDestination(setup, "wizard-other-application");
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(robot::SetText(robot::ChildById(sheet, kDestinationEdit), first));
  ExpectRefusal(setup, sheet, refusal);
  CancelWizard(setup, sheet);

  // The page hidden, its default destination holding the first one's log.
  const std::string second = DefaultDestination("VT Second Application");
  RemovePath(second);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey("VT Second Application").c_str());
  ASSERT_TRUE(MakeFolders(second));
  ASSERT_TRUE(WriteBytes(second + "\\Uninst.log", *ReadBytes(first + "\\Uninst.log")));
  package = PackageWithoutPages("VT Second Application");
  const SetupRun run = RunSetupToEnd(
      WriteSetup("second application", SetupFileAround(testpkg::BuildPackage(package))),
      "VT Second Application Setup");
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].text, "'" + second + "' holds another application.");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_FALSE(
      RegistryText(HKEY_LOCAL_MACHINE, UninstallKey("VT Second Application"), "DisplayName"));
  RemovePath(second);
  Uninstall("VT First Application", first);
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
      EXPECT_EQ(box->text,
                "The program already exists in this\ndirectory, do you want to overwrite it?");
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
