// The shortcut step and the uninstall log: shell links in the Programs,
// Desktop and Startup folders, "Uninst.log" byte for byte, the install
// record beside it, and the Uninstall entry. Real setup executables where a package decides; the
// two steps run in this process, with a recorder for their message boxes, for what only the
// wizard's shortcuts page could choose.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/messages.h"
#include "engine/held_folders.h"
#include "engine/uninstall_log.h"
#include "setup_test_support.h"
#include "shortcuts/shortcuts.h"
#include "state/install_settings.h"

using namespace setuptest;

namespace {

const char kDeclined[] = "(not written)";

std::string LinkIn(int csidl, const std::string& appName) {
  return SpecialFolderPath(csidl) + "\\" + appName + ".lnk";
}

std::vector<std::string> LinksOf(const std::string& appName) {
  return {LinkIn(CSIDL_PROGRAMS, appName), LinkIn(CSIDL_DESKTOPDIRECTORY, appName),
          LinkIn(CSIDL_STARTUP, appName)};
}

std::string Text(const std::optional<Bytes>& bytes) {
  return bytes ? std::string(bytes->begin(), bytes->end()) : kDeclined;
}

std::string UninstallString(const std::string& destination) {
  return InstalledUninstaller() + " " + destination + "\\Uninst.log";
}

// What an application leaves: its links (those in Startup would be started
// with the prefix), its destination and its Uninstall entry.
void RemoveInstalled(const std::string& appName, const std::string& destination) {
  for (const std::string& link : LinksOf(appName)) RemovePath(link);
  RemovePath(destination);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey(appName).c_str());
}

// ---- the whole setup program ----

// Three links, each to the program in the destination and started there,
// listed in the order Programs, Desktop, Startup; a second install of the
// same name writes the same links, log and Uninstall entry again.
TEST(ShortcutsAndLog, SetupWritesThreeLinksTheLogAndTheUninstallEntry) {
  const std::string appName = "VT Shortcuts";
  const std::string destination = DefaultDestination(appName);
  testpkg::TestPackage package = PackageWithoutPages(appName);
  package.checkProgramNotRunning = 0;
  package.programFileName = "tool.exe";
  AddFile(package, "tool.exe", testpkg::ToBytes("not really a program"));
  const std::string setupPath =
      WriteSetup("shortcuts", SetupFileAround(testpkg::BuildPackage(package)));
  RemoveInstalled(appName, destination);
  const std::vector<std::string> links = LinksOf(appName);
  const std::string expectedLog = appName + "\nDon'tCheckProgramNotRunning\n3\n" + links[0] + "\n" +
                                  links[1] + "\n" + links[2] + "\n0\n";

  for (const char* round : {"first install", "second install"}) {
    SCOPED_TRACE(round);
    robot::Program setup = StartSetup(setupPath);
    ASSERT_TRUE(setup.Started()) << setup.Error();
    HWND finish = WaitForFinishDialog(setup, appName + " Setup");
    ASSERT_NE(finish, nullptr) << "no finish dialog (a box instead?)";
    robot::Click(robot::ChildById(finish, IDC_FINISH));
    ASSERT_EQ(robot::WaitForExit(setup), 0u);

    for (const std::string& link : links) {
      SCOPED_TRACE(link);
      auto shown = ReadShellLink(link);
      ASSERT_TRUE(shown.has_value()) << "no link lnkinfo can read";
      EXPECT_EQ(shown->localPath, destination + "\\tool.exe");
      EXPECT_EQ(shown->workingDirectory, destination);
    }
    EXPECT_EQ(Text(ReadBytes(destination + "\\Uninst.log")), expectedLog);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(appName), "DisplayName"), appName);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(appName), "UninstallString"),
              UninstallString(destination));

    // What the second install must replace.
    WriteBytes(destination + "\\Uninst.log", testpkg::ToBytes("stale log\r\n"));
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, UninstallKey(appName).c_str(), "DisplayName", REG_SZ,
                    "stale", 6);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, UninstallKey(appName).c_str(), "UninstallString", REG_SZ,
                    "stale", 6);
  }
  RemoveInstalled(appName, destination);
}

// ---- the two steps in this process ----

// The run sequence initialises COM before these steps; so does each test.
class InProcessSteps : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }
};

struct StepCase {
  const char* what;
  const char* appName;
  bool check;
  bool programs, desktop, startup;
  std::string destination;
  std::string sharedFiles;  // as the file loop lists them
  int sharedFileCount;
  std::string expectedLog;  // "<links>" stands for the expected link lines
  std::vector<std::string> expectedLinks;
};

// Sets InstallSettings as a finished install leaves them.
void PrepareSettings(const StepCase& c) {
  Settings = InstallSettings();
  Settings.SetupCaption = (std::string(c.appName) + " Setup").c_str();
  std::strcpy(Settings.Header.AppName, c.appName);
  std::strcpy(Settings.Header.ProgramFileName, "tool.exe");
  std::strcpy(Settings.Header.ProgramWindowClass, "VTStepsWindow");
  Settings.Header.CheckProgramNotRunning = c.check ? 1 : 0;
  Settings.DestinationDir = c.destination.c_str();
  Settings.CreateProgramsShortcut = c.programs;
  Settings.CreateDesktopShortcut = c.desktop;
  Settings.CreateStartupShortcut = c.startup;
  Settings.SharedDllList = c.sharedFiles.c_str();
  Settings.SharedDllCount = c.sharedFileCount;
}

// The shortcut step and the log step, as the run sequence runs them; the
// texts of the boxes they showed.
std::vector<std::string> RunSteps(const StepCase& c) {
  PrepareSettings(c);
  support::BoxRecorder recorder;
  CreateShortcuts();
  WriteUninstallLog();
  ReleaseHeldFolders();  // the end of a run, which would let them go
  return recorder.Texts();
}

TEST_F(InProcessSteps, LogHoldsTheChosenLinksAndTheCountedSharedFiles) {
  const std::string scratch = ScratchFolder("log cases");
  const std::string desktopLink = LinkIn(CSIDL_DESKTOPDIRECTORY, "VT Log Check");
  const StepCase cases[] = {
      {"check flag 0, no shortcut, no shared file",
       "VT Log Plain",
       false,
       false,
       false,
       false,
       scratch + "\\Plain",
       "",
       0,
       "VT Log Plain\nDon'tCheckProgramNotRunning\n0\n0\n",
       {}},
      {"check flag set, the desktop shortcut",
       "VT Log Check",
       true,
       false,
       true,
       false,
       scratch + "\\Check",
       "",
       0,
       "VT Log Check\nCheckProgramNotRunning\nVTStepsWindow\n1\n" + desktopLink + "\n0\n",
       {desktopLink}},
      {"a destination with blanks, two shared files",
       "VT Log Blanks",
       false,
       false,
       false,
       false,
       scratch + "\\With Blanks\\VT Log Blanks",
       "C:\\windows\\system32\\vt shared.dll\n" + scratch + "\\With Blanks\\b.ocx\n",
       2,
       "VT Log Blanks\nDon'tCheckProgramNotRunning\n0\n2\nC:\\windows\\system32\\vt shared.dll\n" +
           scratch + "\\With Blanks\\b.ocx\n",
       {}},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.what);
    RemoveInstalled(c.appName, c.destination);
    EXPECT_EQ(RunSteps(c), std::vector<std::string>{});
    EXPECT_EQ(Settings.ShortcutCount, static_cast<int>(c.expectedLinks.size()));
    for (const std::string& link : c.expectedLinks) EXPECT_TRUE(Exists(link)) << link;
    EXPECT_EQ(Text(ReadBytes(c.destination + "\\Uninst.log")), c.expectedLog);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(c.appName), "DisplayName"), c.appName);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(c.appName), "UninstallString"),
              UninstallString(c.destination));
    RemoveInstalled(c.appName, c.destination);
  }
}

// The install record goes beside the log, after it, with the log's
// messages; one that cannot be written leaves no Uninstall entry, and the
// log written before it goes again.
TEST_F(InProcessSteps, ARecordThatCannotBeWrittenLeavesNoEntry) {
  const std::string destination = ScratchFolder("record fails") + "\\VT Record";
  const StepCase c = {"", "VT Record Fails", false, false, false, false, destination, "", 0, "",
                      {}};
  RemoveInstalled(c.appName, destination);
  ASSERT_TRUE(MakeFolders(destination + "\\Uninst.rec"));  // a folder where the file goes
  EXPECT_EQ(RunSteps(c),
            std::vector<std::string>{"Unable to open the file '" + destination + "\\Uninst.rec'."});
  EXPECT_FALSE(Exists(destination + "\\Uninst.log"));
  EXPECT_FALSE(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(c.appName), "DisplayName"));
  RemoveInstalled(c.appName, destination);
}

// A folder the shell knows but that has no file-system path (My Computer)
// counts as not found: no link lands in the current drive's root.
TEST_F(InProcessSteps, AFolderWithoutPathIsNotFound) {
  const std::string appName = "VT No Folder";
  PrepareSettings(
      {"", appName.c_str(), false, false, false, false, "C:\\VT No Folder", "", 0, "", {}});
  SetCurrentDirectoryA(WindowsDirectory().c_str());
  const std::string rootLink = WindowsDirectory().substr(0, 2) + "\\" + appName + ".lnk";
  support::BoxRecorder recorder;
  CreateShortcut("C:\\VT No Folder\\tool.exe", CSIDL_DRIVES, "Programs");
  EXPECT_EQ(recorder.Texts(),
            std::vector<std::string>{"Unable to determine the path to the Programs directory."});
  EXPECT_FALSE(Exists(rootLink));
  RemovePath(rootLink);
  EXPECT_EQ(Settings.ShortcutCount, 0);
}

// A link path that does not fit MAX_PATH UTF-16 units with its NUL is not
// written, cut short or otherwise: IDS_CREATE_SHORTCUT, nothing listed. The Startup
// folder is moved where the user's shell folders say, deep enough.
TEST_F(InProcessSteps, ALinkPathTooLongIsReported) {
  const std::string appName = "VT Long Link Name For The Test";  // 30 bytes
  const char kShellFolders[] =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  const auto previousStartup = RegistryText(HKEY_CURRENT_USER, kShellFolders, "Startup");
  struct LengthCase {
    size_t linkLength;
    std::vector<std::string> boxTexts;
    int shortcutCount;
  };
  const LengthCase cases[] = {
      {MAX_PATH - 1, {}, 1},
      {MAX_PATH, {"Unable to create shortcut."}, 0},
  };
  for (const LengthCase& c : cases) {
    SCOPED_TRACE(c.linkLength);
    // "<folder>\<AppName>.lnk" of the case's length.
    const size_t folderLength = c.linkLength - (1 + appName.size() + 4);
    std::string folder = ScratchFolder("long link");
    while (folder.size() < folderLength) {
      const size_t room = folderLength - folder.size() - 1;  // after the "\"
      folder += "\\" + std::string(room > 61 ? 60 : room, 'd');
    }
    ASSERT_EQ(folder.size(), folderLength);
    ASSERT_TRUE(MakeFolders(folder));
    RegSetKeyValueA(HKEY_CURRENT_USER, kShellFolders, "Startup", REG_SZ, folder.c_str(),
                    static_cast<DWORD>(folder.size() + 1));
    ASSERT_EQ(SpecialFolderPath(CSIDL_STARTUP), folder) << "the shell did not take the folder";

    PrepareSettings(
        {"", appName.c_str(), false, false, false, false, "C:\\VT Long", "", 0, "", {}});
    support::BoxRecorder recorder;
    CreateShortcut("C:\\VT Long\\tool.exe", CSIDL_STARTUP, "Startup");
    EXPECT_EQ(recorder.Texts(), c.boxTexts);
    for (const support::RecordedBox& box : recorder.Boxes()) EXPECT_EQ(box.style, kBoxError);
    EXPECT_EQ(Settings.ShortcutCount, c.shortcutCount);
    EXPECT_EQ(Exists(folder + "\\" + appName + ".lnk"), c.shortcutCount == 1);
  }
  if (previousStartup) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kShellFolders, "Startup", REG_EXPAND_SZ,
                    previousStartup->c_str(), static_cast<DWORD>(previousStartup->size() + 1));
  } else {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kShellFolders, "Startup");
  }
}

}  // namespace
