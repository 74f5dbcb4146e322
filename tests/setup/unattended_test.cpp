// Setup as deployment tools run it: "/S" with its destination forms, exit
// codes and run log, no window appearing; the Uninstall entry they read,
// and its "QuietUninstallString" run as they run it. Without "/S", "/D="
// starts the destination page and "/?" shows the switches.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "setup_test_support.h"
#include "wizard_test_support.h"

using namespace setuptest;

namespace {

const char kAppName[] = "VT Unattended";
const char kFolders[] = "C:\\VT Unattended";

// A package with every wizard page, the licence among them: "/S" shows none.
std::string WriteUnattendedSetup(std::uint32_t replaceIfInUse = 0) {
  testpkg::TestPackage package = PackageWithoutPages(kAppName);
  package.showWelcomePage = package.showDestinationPage = package.showShortcutsPage = 1;
  package.hasLicence = true;
  package.licence = "Accept me.";
  package.programFileName = "tool.exe";
  AddFile(package, "tool.exe", Noise(3000, 27)).replaceIfInUse = replaceIfInUse;
  return WriteSetup("unattended", SetupFileAround(testpkg::BuildPackage(package)));
}

std::vector<std::string> Links(const std::string& appName) {
  std::vector<std::string> links;
  for (int folder : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY, CSIDL_STARTUP}) {
    links.push_back(SpecialFolderPath(folder) + "\\" + appName + ".lnk");
  }
  return links;
}

void Clean(const std::string& appName) {
  RemovePath(kFolders);
  RemovePath(DefaultDestination(appName));
  for (const std::string& link : Links(appName)) RemovePath(link);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey(appName).c_str());
}

std::string LogText(const std::string& path) {
  auto bytes = ReadBytes(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : "(no log)";
}

TEST(Unattended, DestinationForms) {
  const std::string setup = "\"" + WriteUnattendedSetup() + "\" ";
  const struct {
    const char* arguments;
    std::string destination;  // empty: nothing installed
  } cases[] = {
      {"/S", DefaultDestination(kAppName)},
      {"/s /d=C:/VT Unattended/Slashes and case/", "C:\\VT Unattended\\Slashes and case"},
      {"/S \"/D=C:\\VT Unattended\\Quoted switch\"", "C:\\VT Unattended\\Quoted switch"},
      {"/S /D=\"C:\\VT Unattended\\Quoted folder\"", "C:\\VT Unattended\\Quoted folder"},
      {"/S /D=VT Unattended\\Relative", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    Clean(kAppName);
    UnseenRun run = RunUnseen(setup + c.arguments);
    ASSERT_FALSE(run.windowSeen);
    EXPECT_EQ(run.exitCode, c.destination.empty() ? 1639u : 0u);
    const auto location = RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(kAppName), "InstallLocation");
    if (c.destination.empty()) {
      EXPECT_FALSE(location.has_value());
      EXPECT_FALSE(Exists(kFolders));
      continue;
    }
    EXPECT_EQ(location, c.destination);
    EXPECT_TRUE(Exists(c.destination + "\\tool.exe"));
    // Every shortcut the wizard starts with ticked.
    for (const std::string& link : Links(kAppName)) EXPECT_TRUE(Exists(link)) << link;
  }
  Clean(kAppName);
}

TEST(Unattended, ExitCodesAndTheRunLog) {
  PendingOperationsGuard pending;
  const std::string log = ScratchFolder("unattended-log") + "\\run.log";
  const std::string blocked = std::string(kFolders) + "\\Blocked";
  const std::string held = DefaultDestination(kAppName) + "\\tool.exe";
  const struct {
    const char* what;
    std::string arguments;
    DWORD exitCode;
    std::vector<std::string> lines;  // in the log, in this order
  } cases[] = {
      {"installed", "", 0, {"Written: " + held, "Result: exit code 0"}},
      {"a folder that cannot be made", "/D=" + blocked + "\\App", 1,
       {"Message 10: Unable to create the directory '" + blocked + "\\App\\'.",
        "Result: exit code 1"}},
      {"a file in use, replaced at the next start", "", 3010,
       {"Scheduled: " + held, "Result: exit code 3010"}},
      {"an unknown switch", "/X", 1639, {"Not understood: /X", "Result: exit code 1639"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Clean(kAppName);
    ASSERT_TRUE(MakeFolders(kFolders));
    ASSERT_TRUE(WriteBytes(blocked, testpkg::ToBytes("a file where the folder would be")));
    const bool inUse = c.exitCode == 3010;
    if (inUse) {
      ASSERT_TRUE(MakeFolders(DefaultDestination(kAppName)));
      ASSERT_TRUE(WriteBytes(held, testpkg::ToBytes("running")));
    }
    FileInUse running(held);
    const std::string setup = WriteUnattendedSetup(inUse ? 1 : 0);
    UnseenRun run = RunUnseen("\"" + setup + "\" /S \"/LOG=" + log + "\" " + c.arguments);
    ASSERT_FALSE(run.windowSeen);
    EXPECT_EQ(run.exitCode, c.exitCode);
    const std::string text = LogText(log);
    size_t at = 0;
    for (const std::string& line : c.lines) {
      at = text.find(line + "\r\n", at);
      EXPECT_NE(at, std::string::npos) << line << "\nin the log:\n" << text;
    }
  }
  Clean(kAppName);
}

// The values deployment tools and the list of programs read, the package's
// own records beside them; its quiet uninstall, started as a tool starts
// it, removes the application and the entry with all of them.
TEST(Unattended, UninstallEntryAndQuietUninstall) {
  const std::string appName = "VT Entry";
  const std::string folder = DefaultDestination(appName);
  const std::string key = UninstallKey(appName);
  testpkg::TestPackage package = PackageWithoutPages(appName);
  package.appVersion = "2.5.1";
  package.programFileName = "tool.exe";
  AddFile(package, "tool.exe", Noise(3000, 5));
  AddFile(package, "data.bin", Noise(2000, 6), "Data\\");
  package.registry[2].push_back(
      {key, {{REG_SZ, "Publisher=Example Vendor"}, {REG_SZ, "URLInfoAbout=https://example.com/"}}});
  const std::string setup = WriteSetup("entry", SetupFileAround(testpkg::BuildPackage(package)));
  Clean(appName);

  UnseenRun install = RunUnseen("\"" + setup + "\" /S");
  ASSERT_FALSE(install.windowSeen);
  ASSERT_EQ(install.exitCode, 0u);
  const std::string log = folder + "\\Uninst.log";
  const std::string quiet =
      "\"" + WindowsDirectory() + "\\VTUnInst.exe\" /S \"" + log + "\"";
  const struct {
    const char* name;
    std::string text;
  } texts[] = {
      {"DisplayName", appName},
      {"DisplayVersion", "2.5.1"},
      {"InstallLocation", folder},
      {"DisplayIcon", folder + "\\tool.exe"},
      {"UninstallString", WindowsDirectory() + "\\VTUnInst.exe " + log},
      {"QuietUninstallString", quiet},
      {"Publisher", "Example Vendor"},
      {"URLInfoAbout", "https://example.com/"},
  };
  for (const auto& value : texts) {
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, value.name), value.text) << value.name;
  }
  const struct {
    const char* name;
    DWORD number;
  } numbers[] = {{"EstimatedSize", 5}, {"NoModify", 1}, {"NoRepair", 1}};  // 5000 bytes: 5 KiB
  for (const auto& value : numbers) {
    EXPECT_EQ(support::RegistryNumber(HKEY_LOCAL_MACHINE, key, value.name), value.number)
        << value.name;
  }

  // As a tool runs it: the command line as the entry holds it.
  auto command = RegistryText(HKEY_LOCAL_MACHINE, key, "QuietUninstallString");
  ASSERT_TRUE(command.has_value());
  UnseenRun uninstall = RunUnseen(*command);
  ASSERT_FALSE(uninstall.windowSeen);
  EXPECT_EQ(uninstall.exitCode, 0u);
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, key));
  EXPECT_FALSE(Exists(folder));
  for (const std::string& link : Links(appName)) EXPECT_FALSE(Exists(link)) << link;
  Clean(appName);
}

// Without "/S": the folder of "/D=" is where the destination page starts,
// and "/?" lists the switches and exit codes in a box.
TEST(Unattended, WithoutSilentTheWizardStartsAtTheGivenFolder) {
  const std::string setup = "\"" + WriteUnattendedSetup() + "\" ";
  robot::Program wizard = robot::StartCommandLine(setup + "/D=C:\\VT Unattended\\Given");
  HWND sheet = wizardtest::WaitForSheet(wizard);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(wizardtest::GoTo(sheet, wizardtest::Page::kDestination));
  EXPECT_EQ(robot::TextOf(robot::ChildById(sheet, wizardtest::kDestinationEdit)),
            "C:\\VT Unattended\\Given");

  robot::Program help = robot::StartCommandLine(setup + "/?");
  auto box = AnswerNextBox(help, IDOK);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, "Vantorel");
  EXPECT_EQ(box->icon, robot::BoxIcon::Information);
  EXPECT_NE(box->text.find("/D=folder"), std::string::npos) << box->text;
  EXPECT_EQ(robot::WaitForExit(help), 0u);
}

}  // namespace
