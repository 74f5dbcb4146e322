// Setup as deployment tools run it: "/S" shows no window; its command lines,
// exit codes and run log; the Uninstall entry and its quiet uninstall as a
// tool starts it. Without "/S", "/D=" and "/?".
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "setup_test_support.h"
#include "wizard_test_support.h"

using namespace setuptest;

namespace {

const char kAppName[] = "VT Unattended";
const char kFolders[] = "C:\\VT Unattended";

// Every wizard page, the licence among them: "/S" shows none.
std::string WriteUnattendedSetup(std::uint32_t replaceIfInUse) {
  testpkg::TestPackage package = PackageWithoutPages(kAppName);
  package.showWelcomePage = package.showDestinationPage = package.showShortcutsPage = 1;
  package.hasLicence = true;
  package.licence = "Accept me.";
  package.programFileName = "tool.exe";
  AddFile(package, "tool.exe", Noise(3000, 27)).replaceIfInUse = replaceIfInUse;
  return "\"" + WriteSetup("unattended", SetupFileAround(testpkg::BuildPackage(package))) + "\" ";
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

TEST(Unattended, CommandLinesExitCodesAndTheRunLog) {
  PendingOperationsGuard pending;
  const std::string log = ScratchFolder("unattended-log") + "\\run.log";
  const std::string standard = DefaultDestination(kAppName);
  const std::string blocked = std::string(kFolders) + "\\Blocked";
  const struct {
    std::string arguments;  // after "/S /LOG=..."
    bool inUse;             // the installed tool.exe is running
    DWORD exitCode;
    std::string destination;  // empty: nothing installed
    std::string line;         // in the log, before the result
  } cases[] = {
      {"", false, 0, standard, "Written: " + standard + "\\tool.exe"},
      {"/s /d=C:/VT Unattended/Slashes/", false, 0, "C:\\VT Unattended\\Slashes",
       "Destination: C:\\VT Unattended\\Slashes"},
      {"\"/D=C:\\VT Unattended\\Quoted switch\"", false, 0, "C:\\VT Unattended\\Quoted switch",
       "Destination: C:\\VT Unattended\\Quoted switch"},
      {"/D=\"C:\\VT Unattended\\Quoted folder\"", false, 0, "C:\\VT Unattended\\Quoted folder",
       "Destination: C:\\VT Unattended\\Quoted folder"},
      {"/D=VT Unattended\\Relative", false, 1639, "", "Not understood: /D=VT Unattended\\Relative"},
      {"/X", false, 1639, "", "Not understood: /X"},
      {"/D=" + blocked + "\\App", false, 1, "",
       "Message 10: Unable to create the directory '" + blocked + "\\App\\'."},
      {"", true, 3010, standard, "Scheduled: " + standard + "\\tool.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments + (c.inUse ? "(in use)" : ""));
    Clean(kAppName);
    ASSERT_TRUE(MakeFolders(kFolders));
    ASSERT_TRUE(WriteBytes(blocked, testpkg::ToBytes("a file where a folder would be")));
    if (c.inUse) {
      ASSERT_TRUE(MakeFolders(standard));
      ASSERT_TRUE(WriteBytes(standard + "\\tool.exe", testpkg::ToBytes("running")));
    }
    FileInUse running(standard + "\\tool.exe");
    const std::string setup = WriteUnattendedSetup(c.inUse ? 1 : 0);
    UnseenRun run = RunUnseen(setup + "/S \"/LOG=" + log + "\" " + c.arguments);
    ASSERT_FALSE(run.windowSeen);
    EXPECT_EQ(run.exitCode, c.exitCode);
    auto bytes = ReadBytes(log);
    const std::string text = bytes ? std::string(bytes->begin(), bytes->end()) : "(no log)";
    const std::string result = "Result: exit code " + std::to_string(c.exitCode) + "\r\n";
    EXPECT_NE(text.find(c.line + "\r\n"), std::string::npos) << c.line << " not in\n" << text;
    EXPECT_EQ(text.find(result), text.size() - result.size()) << text;
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(kAppName), "InstallLocation"),
              c.destination.empty() ? std::nullopt : std::optional<std::string>(c.destination));
    if (c.destination.empty()) continue;
    EXPECT_TRUE(Exists(c.destination + "\\tool.exe"));
    // Every shortcut the wizard starts with ticked.
    for (const std::string& link : Links(kAppName)) EXPECT_TRUE(Exists(link)) << link;
  }
  Clean(kAppName);
}

// The values deployment tools read, the package's own records beside them;
// the quiet uninstall as the entry holds it removes all of it.
TEST(Unattended, UninstallEntryAndItsQuietUninstall) {
  const std::string appName = "VT Entry";
  const std::string folder = DefaultDestination(appName);
  const std::string key = UninstallKey(appName);
  const std::string log = folder + "\\Uninst.log";
  testpkg::TestPackage package = PackageWithoutPages(appName);
  package.appVersion = "2.5.1";
  package.programFileName = "tool.exe";
  AddFile(package, "tool.exe", Noise(3000, 5));
  AddFile(package, "data.bin", Noise(2000, 6), "Data\\");
  package.registry[2].push_back(
      {key, {{REG_SZ, "Publisher=Example Vendor"}, {REG_SZ, "URLInfoAbout=https://example.com/"}}});
  Clean(appName);
  const std::string setup = WriteSetup("entry", SetupFileAround(testpkg::BuildPackage(package)));
  UnseenRun install = RunUnseen("\"" + setup + "\" /S");
  ASSERT_FALSE(install.windowSeen);
  ASSERT_EQ(install.exitCode, 0u);

  const std::pair<const char*, std::string> texts[] = {
      {"DisplayName", appName},
      {"DisplayVersion", "2.5.1"},
      {"InstallLocation", folder},
      {"DisplayIcon", folder + "\\tool.exe"},
      {"UninstallString", WindowsDirectory() + "\\VTUnInst.exe " + log},
      {"QuietUninstallString", "\"" + WindowsDirectory() + "\\VTUnInst.exe\" /S \"" + log + "\""},
      {"Publisher", "Example Vendor"},
      {"URLInfoAbout", "https://example.com/"}};
  for (const auto& [name, text] : texts) {
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, name), text) << name;
  }
  // 5,000 bytes of files: 5 KiB.
  const std::pair<const char*, DWORD> numbers[] = {
      {"EstimatedSize", 5}, {"NoModify", 1}, {"NoRepair", 1}};
  for (const auto& [name, number] : numbers) {
    EXPECT_EQ(support::RegistryNumber(HKEY_LOCAL_MACHINE, key, name), number) << name;
  }

  auto command = RegistryText(HKEY_LOCAL_MACHINE, key, "QuietUninstallString");
  ASSERT_TRUE(command.has_value());
  UnseenRun uninstall = RunUnseen(*command);
  ASSERT_FALSE(uninstall.windowSeen);
  EXPECT_EQ(uninstall.exitCode, 0u);
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, key));
  EXPECT_FALSE(Exists(folder));
  for (const std::string& link : Links(appName)) EXPECT_FALSE(Exists(link)) << link;
}

// Without "/S": the destination page starts at the folder of "/D=", and
// "/?" lists the switches and exit codes in a box.
TEST(Unattended, WithoutSilentTheWizardStartsAtTheGivenFolder) {
  const std::string setup = WriteUnattendedSetup(0);
  robot::Program wizard = robot::StartCommandLine(setup + "/D=C:\\VT Unattended\\Given");
  HWND sheet = wizardtest::WaitForSheet(wizard);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(wizardtest::GoTo(sheet, wizardtest::Page::kDestination));
  EXPECT_EQ(robot::TextOf(robot::ChildById(sheet, wizardtest::kDestinationEdit)),
            "C:\\VT Unattended\\Given");

  // A switch setup does not know shows the same box as an error, and the
  // exit code deployment tools read for it.
  const struct {
    const char* argument;
    robot::BoxIcon icon;
    DWORD exitCode;
  } helps[] = {{"/?", robot::BoxIcon::Information, 0}, {"/X", robot::BoxIcon::Error, 1639}};
  for (const auto& h : helps) {
    SCOPED_TRACE(h.argument);
    robot::Program help = robot::StartCommandLine(setup + h.argument);
    auto box = AnswerNextBox(help, IDOK);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->icon, h.icon);
    EXPECT_NE(box->text.find("/D=folder"), std::string::npos) << box->text;
    EXPECT_NE(box->text.find("3010 restart needed, 1639 bad command line"), std::string::npos);
    EXPECT_EQ(robot::WaitForExit(help), h.exitCode);
  }
}

}  // namespace
