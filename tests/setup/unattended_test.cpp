// Setup as deployment tools run it: "/S" shows no window; its command lines,
// exit codes and run log; the Uninstall entry and its quiet uninstall as a
// tool starts it; winget's run and Intune's with what vtpack manifest wrote
// for them. Without "/S", "/D=" and "/?".
#include <windows.h>
#include <shlobj.h>

#include <map>
#include <set>
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

  robot::Program help = robot::StartCommandLine(setup + "/?");
  auto box = AnswerNextBox(help, IDOK);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->icon, robot::BoxIcon::Information);
  EXPECT_NE(box->text.find("/D=folder"), std::string::npos) << box->text;
  EXPECT_EQ(robot::WaitForExit(help), 0u);
}

// What tests/setup/make-packages read from vtpack manifest's output for
// projects/published.toml: name<TAB>value lines.
std::map<std::string, std::string> PublishedFacts() {
  std::map<std::string, std::string> facts;
  auto bytes =
      ReadBytes(robot::WindowsPathOf(std::string(kPackagesFolder) + "/published-facts.txt"));
  const std::string text = bytes ? std::string(bytes->begin(), bytes->end()) : "";
  for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = text.substr(at, end - at);
    facts[line.substr(0, line.find('\t'))] = line.substr(line.find('\t') + 1);
  }
  return facts;
}

std::string Replaced(std::string text, const std::string& token, const std::string& value) {
  const std::size_t at = text.find(token);
  return at == std::string::npos ? text : text.replace(at, token.size(), value);
}

// winget's default run, its switches as the installer manifest spells them
// and in winget's order: the progress dialog alone, without Cancel, and an
// install where <INSTALLPATH> says, its log at <LOGPATH> and an entry with
// AppsAndFeaturesEntries' values. Then Intune's install, rule and uninstall.
TEST(Unattended, PublishedManifestsDescribeTheInstall) {
  auto facts = PublishedFacts();
  ASSERT_EQ(facts["Scope"], "machine");
  ASSERT_EQ(facts["Architecture"], "x64");  // the 64-bit setup program
  const std::string setup = PackagePath("published");
  // Windows reads the version resource that carries the facts for winget.
  std::vector<char> version(GetFileVersionInfoSizeA(setup.c_str(), nullptr));
  char* description = nullptr;
  UINT length = 0;
  ASSERT_TRUE(
      GetFileVersionInfoA(setup.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
  ASSERT_TRUE(VerQueryValueA(version.data(), "\\StringFileInfo\\000004E4\\FileDescription",
                             reinterpret_cast<void**>(&description), &length));
  EXPECT_STREQ(description, "VT Published Setup");
  const std::string chosen = std::string(kFolders) + "\\Chosen folder";
  const std::string log = ScratchFolder("published-log") + "\\winget.log";
  const std::string key = UninstallKey(facts["ProductCode"]);
  Clean(facts["DisplayName"]);
  robot::Program run =
      robot::StartCommandLine("\"" + setup + "\" " + facts["SilentWithProgress"] + " " +
                              Replaced(facts["Log"], "<LOGPATH>", log) + " " +
                              Replaced(facts["InstallLocation"], "<INSTALLPATH>", chosen));
  std::set<std::string> shown;
  bool cancelDisabled = false;
  robot::WaitUntil(
      [&] {
        robot::WaitForTopWindow(
            run.Id(),
            [&](HWND window) {
              // What a window said counts when it was still there after.
              const std::string seen = robot::ClassOf(window) + " " + robot::TextOf(window);
              if (IsWindow(window)) shown.insert(seen);
              HWND cancel = robot::ChildById(window, IDCANCEL);
              if (cancelDisabled || !robot::ChildById(window, IDC_PROGRESS_BAR) || !cancel)
                return false;
              cancelDisabled = !robot::IsEnabled(cancel);
              robot::SaveWindowScreenshot(window, "passive-progress");
              return false;
            },
            0);
        return !run.Running();
      },
      60000);
  EXPECT_EQ(robot::WaitForExit(run), 0u);
  EXPECT_EQ(shown, std::set<std::string>{"#32770 VT Published Setup"});
  EXPECT_TRUE(cancelDisabled);
  EXPECT_TRUE(Exists(chosen + "\\file-0000.txt"));
  auto written = ReadBytes(log);
  ASSERT_TRUE(written.has_value());
  EXPECT_NE(std::string(written->begin(), written->end()).find("Result: exit code 0"),
            std::string::npos);
  for (const char* name : {"DisplayName", "DisplayVersion", "Publisher"}) {
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, name), facts[name]) << name;
  }
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, "InstallLocation"), chosen);
  auto quiet = RegistryText(HKEY_LOCAL_MACHINE, key, "QuietUninstallString");
  ASSERT_TRUE(quiet.has_value());
  EXPECT_EQ(RunUnseen(*quiet).exitCode, 0u);

  // Intune runs its commands in the folder that holds the setup file.
  const std::string ruleKey = Replaced(facts["keyPath"], "HKEY_LOCAL_MACHINE\\", "");
  const REGSAM view = facts["check32BitOn64System"] == "true" ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  robot::Program install = robot::StartCommandLine(
      Replaced(facts["installCommandLine"], "published.exe", "\"" + setup + "\""));
  EXPECT_EQ(robot::WaitForExit(install), 0u);
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, ruleKey, facts["valueName"], view),
            facts["comparisonValue"]);
  EXPECT_EQ(RunUnseen(facts["uninstallCommandLine"]).exitCode, 0u);
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, ruleKey, facts["valueName"], view), std::nullopt);
  EXPECT_FALSE(Exists(DefaultDestination(facts["DisplayName"])));
}

}  // namespace
