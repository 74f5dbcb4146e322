// Setup as deployment tools run it: "/S" shows no window; its command lines,
// exit codes and run log; the Uninstall entry and its quiet uninstall as a
// tool starts it; winget's run and Intune's with what vtpack manifest wrote
// for them. Without "/S", "/D=" and "/?". A per-user package's round trip,
// with the wizard and "/S", as a user without administrator rights meets it.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "base/uninstall_names.h"
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
       "Message 10: Unable to create the directory '" + blocked + "\\App'."},
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
      {"UninstallString", InstalledUninstaller() + " " + log},
      {"QuietUninstallString", "\"" + InstalledUninstaller() + "\" /S \"" + log + "\""},
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

// A package as a deployment's bad day meets it: files in folders, a shared
// file, a registry record and an association.
const char kKilledApp[] = "VT Killed";
const char kKilledKey[] = "Software\\VT Killed\\Settings";
const char kKilledClasses[] = "Software\\Classes\\";  // HKCR, as Wine keeps it
const char kSharedDlls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::string KilledSetup() {
  testpkg::TestPackage package = PackageWithoutPages(kKilledApp);
  package.programFileName = "killapp.exe";
  AddFile(package, "killapp.exe", Noise(4000, 1));
  for (int i = 0; i < 48; ++i) {
    AddFile(package, "f" + std::to_string(i) + ".dat", Noise(40000, 10 + i),
            "part" + std::to_string(i / 8) + "\\");
  }
  AddFile(package, "vtkillshared.dll", Noise(3000, 2), "VT Killed\\").destinationType = 5;
  package.files.back().sharedDll = 1;
  package.registry[2].push_back({kKilledKey, {{REG_SZ, "Path=<Destination>"}, {4, "Level=3"}}});
  package.associations.push_back({"vtkilldoc", "VTKilled.Document", "Killed document",
                                  "<Destination>\\killapp.exe", "<Destination>\\killapp.exe", 0});
  return "\"" + WriteSetup("killed", SetupFileAround(testpkg::BuildPackage(package))) + "\" /S";
}

// What the install may touch; a file's bytes by their size and hash, so
// that a difference prints short.
std::map<std::string, std::string> KilledState() {
  const std::string shared = CommonFilesDirectory() + "\\VT Killed";
  std::vector<std::string> paths = Links(kKilledApp);
  paths.push_back(DefaultDestination(kKilledApp));
  paths.push_back(shared);
  const std::string classes = kKilledClasses;
  std::map<std::string, std::string> state = StateOf(
      paths, {"Software\\VT Killed", kKilledKey, UninstallKey(kKilledApp),
              UninstallKey(kKilledApp) + "\\InstallInProgress", kSharedDlls, classes + ".vtkilldoc",
              classes + "VTKilled.Document", classes + "VTKilled.Document\\DefaultIcon",
              classes + "VTKilled.Document\\shell\\open\\command"});
  for (auto& [name, value] : state) {
    if (value.size() > 64) {
      value = std::to_string(value.size()) + " bytes #" +
              std::to_string(std::hash<std::string>()(value));
    }
  }
  return state;
}

// Whatever an earlier run of these tests left.
void CleanKilled() {
  Clean(kKilledApp);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, UninstallKey(kKilledApp).c_str());
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\VT Killed");
  for (const char* key : {".vtkilldoc", "VTKilled.Document"}) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kKilledClasses) + key).c_str());
  }
}

// The quiet uninstall as the entry holds it; the shared file, which it keeps
// at count 0 (as it keeps any), is taken away after it.
bool QuietUninstall() {
  auto command = RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(kKilledApp), "QuietUninstallString");
  const bool removed = command && RunUnseen(*command).exitCode == 0u;
  RemovePath(CommonFilesDirectory() + "\\VT Killed\\vtkillshared.dll");
  RemovePath(CommonFilesDirectory() + "\\VT Killed");
  return removed;
}

// Setup "/S" killed (as a power cut or an ended deployment agent ends it)
// once each point of its run is seen to have come, then the prefix
// recovered: the quiet uninstall at once, or setup again to its end and
// then the quiet uninstall. Both leave it as it was before the install.
TEST(Unattended, AKilledSetupIsRemovedWhole) {
  const std::string folder = DefaultDestination(kKilledApp);
  const std::string setup = KilledSetup();
  CleanKilled();
  ASSERT_TRUE(support::WriteRegistryText(HKEY_LOCAL_MACHINE, kSharedDlls, "C:\\VT Killed other.dll",
                                         "kept"));
  const std::map<std::string, std::string> before = KilledState();
  std::optional<FILETIME> linkTime;
  const auto staging = [&] {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\part3\\~vt*.tmp").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return search != INVALID_HANDLE_VALUE;
  };
  const struct {
    const char* point;
    std::function<bool()> reached;
    bool installedBefore = false;
  } points[] = {
      {"before the first file", [&] { return Exists(folder); }},
      {"among the files", [&] { return Exists(folder + "\\part1"); }},
      {"between files and registry",
       [&] { return Exists(CommonFilesDirectory() + "\\VT Killed\\vtkillshared.dll"); }},
      {"before the entry", [&] { return Exists(Links(kKilledApp)[0]); }},
      {"among the files of a reinstall", staging, true},
      // Its links are made again once its files are in place.
      {"before the entry of a reinstall",
       [&] {
         const auto now = LastWriteTime(Links(kKilledApp)[0]);
         return now && linkTime && CompareFileTime(&*now, &*linkTime) != 0;
       },
       true},
  };
  for (const auto& point : points) {
    for (bool again : {false, true}) {
      SCOPED_TRACE(std::string(point.point) + (again ? ", setup again" : ", uninstall at once"));
      if (point.installedBefore) ASSERT_EQ(RunUnseen(setup).exitCode, 0u);
      linkTime = LastWriteTime(Links(kKilledApp)[0]);
      robot::Program killed = robot::StartCommandLine(setup);
      ASSERT_TRUE(robot::WaitUntil(point.reached, 60000));
      TerminateProcess(killed.Handle(), 1);
      robot::WaitForExit(killed);
      std::printf("killed %s: %zu items in its folder, log %d, registry %d, shortcut %d\n",
                  point.point, StateOf({folder}, {}).size(), Exists(folder + "\\Uninst.log"),
                  support::KeyExists(HKEY_LOCAL_MACHINE, kKilledKey), Exists(Links(kKilledApp)[0]));
      if (again) {
        EXPECT_EQ(RunUnseen(setup).exitCode, 0u);
      }
      EXPECT_TRUE(QuietUninstall());
      EXPECT_EQ(KilledState(), before);
    }
  }
  support::WriteRegistryText(HKEY_LOCAL_MACHINE, kSharedDlls, "C:\\VT Killed other.dll",
                             std::nullopt);
}

// Uninstalled whole: what another program did to the registry since
// stays. An extension it took over keeps its class; a key setup found
// keeps what it held, and loses what setup added.
TEST(Unattended, WhatOthersChangedStaysAfterTheUninstall) {
  const std::string extension = std::string(kKilledClasses) + ".vtkilldoc";
  CleanKilled();
  ASSERT_TRUE(support::WriteRegistryText(HKEY_LOCAL_MACHINE, kKilledKey, "Owner", "another"));
  const std::map<std::string, std::string> before = KilledState();
  ASSERT_EQ(RunUnseen(KilledSetup()).exitCode, 0u);
  ASSERT_TRUE(support::WriteRegistryText(HKEY_LOCAL_MACHINE, extension, "", "Other.Document"));
  EXPECT_TRUE(QuietUninstall());
  std::map<std::string, std::string> expected = before;
  expected.erase(extension);  // "(no key)"
  expected[extension + "|"] = "1:Other.Document" + std::string(1, '\0');
  EXPECT_EQ(KilledState(), expected);
  CleanKilled();
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

// ---- a per-user package (projects/per-user.toml) ----

const char kPerUserApp[] = "VT Per User";
const char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// HKLM\Software (both views: Uninstall entries, shared counts, classes,
// RunOnce, vendors' keys) and the operations that wait for the next start,
// as the registry saves them: a line per key, with the time any write sets,
// and per value. Not the rest of System: Wine's display driver writes its
// device keys there whenever a program opens its first window.
std::set<std::string> MachineRegistry() {
  HANDLE token;
  TOKEN_PRIVILEGES backup = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
  LookupPrivilegeValueA(nullptr, SE_BACKUP_NAME, &backup.Privileges[0].Luid);
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) {
    AdjustTokenPrivileges(token, FALSE, &backup, 0, nullptr, nullptr);
    CloseHandle(token);
  }
  std::set<std::string> lines;
  const std::string saved = ScratchFolder("per-user") + "\\machine.reg";
  for (const char* name : {"Software", "System\\CurrentControlSet\\Control\\Session Manager"}) {
    HKEY key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, name, 0, KEY_READ, &key), ERROR_SUCCESS);
    DeleteFileA(saved.c_str());
    EXPECT_EQ(RegSaveKeyA(key, saved.c_str(), nullptr), ERROR_SUCCESS) << name;
    RegCloseKey(key);
    auto bytes = ReadBytes(saved);
    const std::string text = bytes ? std::string(bytes->begin(), bytes->end()) : "";
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
      end = std::min(text.find('\n', at), text.size());
      lines.insert(name + (" " + text.substr(at, end - at)));
    }
  }
  return lines;
}

// What was written or deleted since `before`: the lines one has and the
// other lacks.
std::string MachineChanges(const std::set<std::string>& before) {
  const std::set<std::string> after = MachineRegistry();
  std::vector<std::string> changed;
  std::set_symmetric_difference(before.begin(), before.end(), after.begin(), after.end(),
                                std::back_inserter(changed));
  return testing::PrintToString(changed);
}

// The copies of an uninstaller that remove it, in the temporary folder.
int RemovingCopies() {
  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((std::string(temporary) + "~vt*.tmp").c_str(), &entry);
  int count = 0;
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry))
    ++count;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return count;
}

std::string ManifestOf(const std::string& program) {
  HMODULE image = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = image ? FindResourceA(image, MAKEINTRESOURCEA(1), RT_MANIFEST) : nullptr;
  const char* text =
      found ? static_cast<const char*>(LockResource(LoadResource(image, found))) : nullptr;
  std::string manifest = text ? std::string(text, SizeofResource(image, found)) : "";
  if (image) FreeLibrary(image);
  return manifest;
}

void CleanPerUser(const std::string& folder) {
  RemovePath(folder);
  for (const std::string& link : Links(kPerUserApp)) RemovePath(link);
  for (const char* key : {"Software\\Vantorel Tests\\Per User", "Software\\Classes\\.vtperuser",
                          "Software\\Classes\\VantorelTests.PerUser"}) {
    support::DeleteRegistryKey(HKEY_CURRENT_USER, key);
  }
  support::DeleteRegistryKey(HKEY_CURRENT_USER, UninstallKey(kPerUserApp));
  support::WriteRegistryText(HKEY_CURRENT_USER, kRunOnce, folder + "\\demoapp.exe", std::nullopt);
}

// What the install leaves in the user's folders and keys.
void ExpectInstalledForTheUser(const std::string& folder) {
  const std::string log = folder + "\\Uninst.log", uninstaller = InstalledUninstaller(folder);
  std::string perUserUninstaller = robot::WindowsPathOf(kUninstallerProgram);
  perUserUninstaller.replace(perUserUninstaller.rfind(".exe"), 4, "User.exe");
  EXPECT_EQ(ReadBytes(uninstaller), ReadBytes(perUserUninstaller));
  EXPECT_EQ(ReadBytes(folder + "\\demoapp.exe"), ReadBytes(InputFile("demoapp.exe")));
  EXPECT_EQ(ReadBytes(folder + "\\Docs\\readme.txt"), ReadBytes(InputFile("readme.txt")));
  auto record = ReadBytes(folder + "\\Uninst.rec");
  EXPECT_NE(std::string(record->begin(), record->end())
                .find(std::string("\nfile ") + uninstall::kUninstallerName + "\n"),
            std::string::npos);
  const std::string command = "Software\\Classes\\VantorelTests.PerUser\\shell\\open\\command";
  const std::pair<std::string, std::string> texts[] = {
      {UninstallKey(kPerUserApp) + "|DisplayName", kPerUserApp},
      {UninstallKey(kPerUserApp) + "|UninstallString", "\"" + uninstaller + "\" " + log},
      {UninstallKey(kPerUserApp) + "|QuietUninstallString",
       "\"" + uninstaller + "\" /S \"" + log + "\""},
      {UninstallKey(kPerUserApp) + "|InstallLocation", folder},
      {UninstallKey(kPerUserApp) + "|Publisher", "Vantorel Test Vendor"},
      {"Software\\Vantorel Tests\\Per User|Folder", folder},
      {"Software\\Classes\\.vtperuser|", "VantorelTests.PerUser"},
      {command + "|", "\"" + folder + "\\demoapp.exe\" \"%1\""}};
  for (const auto& [where, text] : texts) {
    const std::size_t bar = where.find('|');
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, where.substr(0, bar), where.substr(bar + 1)), text)
        << where;
  }
  for (const std::string& link : Links(kPerUserApp)) EXPECT_TRUE(Exists(link)) << link;
}

// Its manifest runs setup as the user (Wine gives every program the same
// rights: the manifest tells what Windows would do); it installs with the
// wizard and again with "/S" into the user's own folders and keys, and its
// quiet uninstall removes it, its uninstaller with it. HKEY_LOCAL_MACHINE
// stays as it was.
TEST(Unattended, PerUserPackageInstallsForTheUserAloneAndGoesWithItsUninstaller) {
  const std::string setup = PackagePath("per-user");
  const std::string folder = SpecialFolderPath(CSIDL_LOCAL_APPDATA) + "\\Programs\\" + kPerUserApp;
  CleanPerUser(folder);
  const std::string manifest = ManifestOf(setup);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
  EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos) << manifest;
  const auto machine = MachineRegistry();
  const auto shared = StateOf({InstalledUninstaller()}, {});
  const int copies = RemovingCopies();

  // The wizard starts at the user's own programs folder.
  robot::Program wizard = StartSetup(setup);
  HWND sheet = wizardtest::WaitForSheet(wizard);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(wizardtest::GoTo(sheet, wizardtest::Page::kDestination));
  EXPECT_EQ(robot::TextOf(robot::ChildById(sheet, wizardtest::kDestinationEdit)), folder);
  ASSERT_TRUE(wizardtest::GoTo(sheet, wizardtest::Page::kShortcuts));
  ASSERT_TRUE(robot::Click(robot::ChildById(sheet, wizardtest::kFinish)));
  HWND finish = WaitForFinishDialog(wizard, std::string(kPerUserApp) + " Setup");
  ASSERT_NE(finish, nullptr);
  robot::Click(robot::ChildById(finish, IDC_FINISH));
  ASSERT_EQ(robot::WaitForExit(wizard), 0u);
  ExpectInstalledForTheUser(folder);
  EXPECT_EQ(MachineChanges(machine), "{}");

  // Again, silently, over an older program that is running: it is replaced
  // at the user's next sign-in, which a restart brings too (3010), by the
  // command Windows then runs once.
  ASSERT_TRUE(WriteBytes(folder + "\\demoapp.exe", testpkg::ToBytes("an older program")));
  {
    FileInUse running(folder + "\\demoapp.exe");
    UnseenRun again = RunUnseen("\"" + setup + "\" /S");
    ASSERT_FALSE(again.windowSeen);
    EXPECT_EQ(again.exitCode, 3010u);
  }
  auto signIn = RegistryText(HKEY_CURRENT_USER, kRunOnce, folder + "\\demoapp.exe");
  ASSERT_TRUE(signIn.has_value());
  support::WriteRegistryText(HKEY_CURRENT_USER, kRunOnce, folder + "\\demoapp.exe", std::nullopt);
  robot::Program command = robot::StartCommandLine(*signIn);
  EXPECT_EQ(robot::WaitForExit(command), 0u);
  EXPECT_FALSE(Exists(folder + "\\demoapp.exe.new"));
  ExpectInstalledForTheUser(folder);

  // The quiet uninstall as a deployment tool in the user's context runs it:
  // everything goes, the uninstaller and its folder just after it ends, and
  // so does the copy of it in the temporary folder that removes them.
  auto quiet = RegistryText(HKEY_CURRENT_USER, UninstallKey(kPerUserApp), "QuietUninstallString");
  ASSERT_TRUE(quiet.has_value());
  UnseenRun uninstall = RunUnseen(*quiet);
  ASSERT_FALSE(uninstall.windowSeen);
  EXPECT_EQ(uninstall.exitCode, 0u);
  EXPECT_TRUE(robot::WaitUntil([&] { return !Exists(folder) && RemovingCopies() == copies; }))
      << folder << " or a copy of its uninstaller stays";
  EXPECT_EQ(StateOf({InstalledUninstaller()}, {}), shared);
  EXPECT_FALSE(support::KeyExists(HKEY_CURRENT_USER, UninstallKey(kPerUserApp)));
  for (const std::string& link : Links(kPerUserApp)) EXPECT_FALSE(Exists(link)) << link;
  EXPECT_EQ(MachineChanges(machine), "{}");
  CleanPerUser(folder);
}

}  // namespace
