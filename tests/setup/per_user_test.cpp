// A per-user package (projects/per-user.toml) as a user without
// administrator rights meets it: its manifest runs setup as that user (Wine
// gives every program the same rights, so the manifest tells what Windows
// would do), it installs with the wizard and again with "/S" into the
// user's own folders and keys, and its quiet uninstall removes it, its
// uninstaller included. HKEY_LOCAL_MACHINE stays as it was throughout.
#include <windows.h>
#include <shlobj.h>

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "setup_test_support.h"
#include "wizard_test_support.h"

using namespace setuptest;

namespace {

const char kAppName[] = "VT Per User";
const char kRecordKey[] = "Software\\Vantorel Tests\\Per User";
const char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// HKEY_LOCAL_MACHINE as the registry saves it, one line per key (with the
// time it was last written, which any write changes) and per value: its
// software keys (the Uninstall entries, shared counts, classes, RunOnce,
// vendors' keys, in both views) and the operations that wait for the next
// start. Not the rest of System: Wine's display driver writes the display's
// device keys there whenever a program opens its first window.
std::set<std::string> MachineRegistry() {
  HANDLE token;
  TOKEN_PRIVILEGES backup = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) {
    LookupPrivilegeValueA(nullptr, SE_BACKUP_NAME, &backup.Privileges[0].Luid);
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
    std::string text = bytes ? std::string(bytes->begin(), bytes->end()) : "";
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
      end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      lines.insert(name + (" " + text.substr(start, end - start)));
    }
  }
  return lines;
}

// The lines that one of the two has and the other lacks, for the message:
// what was written ("+") and what was deleted ("-").
std::string Changes(const std::set<std::string>& before, const std::set<std::string>& after) {
  std::string changes;
  for (const std::string& line : after) {
    if (before.count(line) == 0) changes += "+" + line + "\n";
  }
  for (const std::string& line : before) {
    if (after.count(line) == 0) changes += "-" + line + "\n";
  }
  return changes;
}

std::vector<std::string> Links() {
  std::vector<std::string> links;
  for (int folder : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY, CSIDL_STARTUP}) {
    links.push_back(SpecialFolderPath(folder) + "\\" + kAppName + ".lnk");
  }
  return links;
}

// The copies of an uninstaller that remove it (~vtXXXX.tmp in the user's
// temporary folder).
int TemporaryCopies() {
  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  int count = 0;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((std::string(temporary) + "~vt*.tmp").c_str(), &entry);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
    ++count;
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return count;
}

void Clean(const std::string& folder) {
  RemovePath(folder);
  for (const std::string& link : Links()) RemovePath(link);
  support::DeleteRegistryKey(HKEY_CURRENT_USER, UninstallKey(kAppName));
  support::DeleteRegistryKey(HKEY_CURRENT_USER, kRecordKey);
  support::DeleteRegistryKey(HKEY_CURRENT_USER, "Software\\Classes\\.vtperuser");
  support::DeleteRegistryKey(HKEY_CURRENT_USER, "Software\\Classes\\VantorelTests.PerUser");
  support::WriteRegistryText(HKEY_CURRENT_USER, kRunOnce, folder + "\\demoapp.exe", std::nullopt);
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

// What the install leaves in the user's folders and keys.
void ExpectInstalled(const std::string& folder) {
  const std::string log = folder + "\\Uninst.log", uninstaller = folder + "\\VTUnInst.exe";
  std::string perUserUninstaller = robot::WindowsPathOf(kUninstallerProgram);
  perUserUninstaller.replace(perUserUninstaller.rfind(".exe"), 4, "User.exe");
  EXPECT_EQ(ReadBytes(uninstaller), ReadBytes(perUserUninstaller));
  EXPECT_EQ(ReadBytes(folder + "\\demoapp.exe"), ReadBytes(InputFile("demoapp.exe")));
  EXPECT_EQ(ReadBytes(folder + "\\Docs\\readme.txt"), ReadBytes(InputFile("readme.txt")));
  auto record = ReadBytes(folder + "\\Uninst.rec");
  ASSERT_TRUE(record.has_value());
  EXPECT_NE(std::string(record->begin(), record->end()).find("\nfile VTUnInst.exe\n"),
            std::string::npos);
  const std::string key = UninstallKey(kAppName);
  const std::pair<const char*, std::string> texts[] = {
      {"DisplayName", kAppName},
      {"UninstallString", "\"" + uninstaller + "\" " + log},
      {"QuietUninstallString", "\"" + uninstaller + "\" /S \"" + log + "\""},
      {"InstallLocation", folder},
      {"Publisher", "Vantorel Test Vendor"}};
  for (const auto& [name, text] : texts) {
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, key, name), text) << name;
  }
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kRecordKey, "Folder"), folder);
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, "Software\\Classes\\.vtperuser", ""),
            "VantorelTests.PerUser");
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER,
                         "Software\\Classes\\VantorelTests.PerUser\\shell\\open\\command", ""),
            "\"" + folder + "\\demoapp.exe\" \"%1\"");
  for (const std::string& link : Links()) EXPECT_TRUE(Exists(link)) << link;
}

TEST(PerUser, InstallsForTheUserAloneAndGoesWithItsUninstaller) {
  const std::string setup = PackagePath("per-user");
  const std::string folder = SpecialFolderPath(CSIDL_LOCAL_APPDATA) + "\\Programs\\" + kAppName;
  Clean(folder);
  const std::string manifest = ManifestOf(setup);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
  EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos) << manifest;
  const auto machine = MachineRegistry();
  const auto sharedUninstaller = StateOf({WindowsDirectory() + "\\VTUnInst.exe"}, {});

  // The wizard starts at the user's own programs folder.
  robot::Program wizard = StartSetup(setup);
  HWND sheet = wizardtest::WaitForSheet(wizard);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(wizardtest::GoTo(sheet, wizardtest::Page::kDestination));
  EXPECT_EQ(robot::TextOf(robot::ChildById(sheet, wizardtest::kDestinationEdit)), folder);
  ASSERT_TRUE(wizardtest::GoTo(sheet, wizardtest::Page::kShortcuts));
  ASSERT_TRUE(robot::Click(robot::ChildById(sheet, wizardtest::kFinish)));
  HWND finish = WaitForFinishDialog(wizard, std::string(kAppName) + " Setup");
  ASSERT_NE(finish, nullptr);
  robot::Click(robot::ChildById(finish, IDC_FINISH));
  ASSERT_EQ(robot::WaitForExit(wizard), 0u);
  ExpectInstalled(folder);
  EXPECT_EQ(Changes(machine, MachineRegistry()), "");

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
  auto command = RegistryText(HKEY_CURRENT_USER, kRunOnce, folder + "\\demoapp.exe");
  ASSERT_TRUE(command.has_value());
  support::WriteRegistryText(HKEY_CURRENT_USER, kRunOnce, folder + "\\demoapp.exe", std::nullopt);
  robot::Program signIn = robot::StartCommandLine(*command);
  EXPECT_EQ(robot::WaitForExit(signIn), 0u);
  EXPECT_FALSE(Exists(folder + "\\demoapp.exe.new"));
  ExpectInstalled(folder);

  // Its quiet uninstall, as a deployment tool in the user's context runs
  // it: everything goes, the uninstaller and its folder just after it ends,
  // and so does the copy of it that removes them.
  const int copies = TemporaryCopies();
  auto quiet = RegistryText(HKEY_CURRENT_USER, UninstallKey(kAppName), "QuietUninstallString");
  ASSERT_TRUE(quiet.has_value());
  UnseenRun uninstall = RunUnseen(*quiet);
  ASSERT_FALSE(uninstall.windowSeen);
  EXPECT_EQ(uninstall.exitCode, 0u);
  EXPECT_TRUE(robot::WaitUntil([&] { return !Exists(folder) && TemporaryCopies() == copies; }))
      << folder << " or a copy of its uninstaller stays";
  EXPECT_FALSE(support::KeyExists(HKEY_CURRENT_USER, UninstallKey(kAppName)));
  for (const std::string& link : Links()) EXPECT_FALSE(Exists(link)) << link;
  EXPECT_EQ(StateOf({WindowsDirectory() + "\\VTUnInst.exe"}, {}), sharedUninstaller);
  EXPECT_EQ(Changes(machine, MachineRegistry()), "");
  Clean(folder);
}

}  // namespace
