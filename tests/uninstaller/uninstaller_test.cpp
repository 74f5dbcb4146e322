// VTUnInst.exe as a user meets it: started with the command line of an
// Uninstall entry, its questions answered by the robot, and what it leaves
// of an installation checked on disk and in the registry. The round trip
// installs the demo first; the other tests lay out what setup would leave
// (files, links, the Uninstall entry, the log and shared-file counts) and
// so also state the log's contract from the uninstaller's side.
#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "setup_test_support.h"
#include "wizard_test_support.h"

using namespace setuptest;

namespace {

const char kSharedDlls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";

std::string Uninstaller() { return WindowsDirectory() + "\\VTUnInst.exe"; }

// Where setup puts it.
void PlaceUninstaller() {
  ASSERT_TRUE(WriteBytes(Uninstaller(), *ReadBytes(robot::WindowsPathOf(kUninstallerProgram))));
}

robot::Program StartUninstaller(const std::string& logPath) {
  return robot::StartCommandLine(Uninstaller() + " " + logPath);
}

// ---- an installation as setup leaves it ----

struct Installation {
  std::string appName;
  bool check = false;
  std::string windowClass;
  std::string folder;                    // the destination, holding the log
  std::vector<std::string> files;        // below the folder
  std::vector<std::string> shortcuts;    // full paths
  std::vector<std::string> sharedFiles;  // full paths, as the log lists them

  std::string LogPath() const { return folder + "\\Uninst.log"; }
  std::string LogText() const {
    std::string text = appName + "\n";
    text += check ? "CheckProgramNotRunning\n" + windowClass + "\n"
                  : "Don'tCheckProgramNotRunning\n";
    text += std::to_string(shortcuts.size()) + "\n";
    for (const std::string& link : shortcuts) text += link + "\n";
    text += std::to_string(sharedFiles.size()) + "\n";
    for (const std::string& file : sharedFiles) text += file + "\n";
    return text;
  }
};

// An application installed where setup puts it without a destination page.
Installation InstalledApp(const std::string& appName) {
  Installation installed;
  installed.appName = appName;
  installed.folder = DefaultDestination(appName);
  return installed;
}

std::string DesktopLink(const std::string& appName) {
  return SpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\" + appName + ".lnk";
}

// Lays it out with `logText` as its log (default: the right one).
void Lay(const Installation& installed, const std::string& logText = "") {
  RemovePath(installed.folder);
  ASSERT_TRUE(MakeFolders(installed.folder));
  for (const std::string& file : installed.files) {
    const std::string path = installed.folder + "\\" + file;
    MakeFolders(path.substr(0, path.rfind('\\')));
    ASSERT_TRUE(WriteBytes(path, testpkg::ToBytes("installed " + file)));
  }
  for (const std::string& link : installed.shortcuts) {
    ASSERT_TRUE(WriteBytes(link, testpkg::ToBytes("a shell link")));
  }
  ASSERT_TRUE(WriteBytes(installed.LogPath(),
                         testpkg::ToBytes(logText.empty() ? installed.LogText() : logText)));
  const std::string key = UninstallKey(installed.appName);
  const std::string command = Uninstaller() + " " + installed.LogPath();
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayName", REG_SZ,
                  installed.appName.c_str(), static_cast<DWORD>(installed.appName.size() + 1));
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "UninstallString", REG_SZ, command.c_str(),
                  static_cast<DWORD>(command.size() + 1));
}

bool HasUninstallEntry(const std::string& appName) {
  return RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(appName), "DisplayName").has_value();
}

// Nothing of it was removed.
void ExpectUntouched(const Installation& installed) {
  EXPECT_TRUE(Exists(installed.LogPath()));
  for (const std::string& file : installed.files) {
    EXPECT_TRUE(Exists(installed.folder + "\\" + file)) << file;
  }
  for (const std::string& link : installed.shortcuts) EXPECT_TRUE(Exists(link)) << link;
  EXPECT_TRUE(HasUninstallEntry(installed.appName));
}

void Clean(const Installation& installed) {
  RemovePath(installed.folder);
  for (const std::string& link : installed.shortcuts) RemovePath(link);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey(installed.appName).c_str());
}

// ---- boxes ----

robot::MessageBoxContent Box(const std::string& caption, const std::string& text,
                             robot::BoxIcon icon, std::vector<std::string> buttons,
                             const std::string& defaultButton = "") {
  return robot::MessageBoxContent{caption, text, icon, std::move(buttons), defaultButton};
}

robot::MessageBoxContent Failure(const std::string& caption, const std::string& text) {
  return Box(caption, text, robot::BoxIcon::Error, {"OK"}, "OK");
}

robot::MessageBoxContent Confirmation(const std::string& appName) {
  return Box(appName + " Uninstall",
             "Are you sure you want to remove " + appName + " and all of its components?",
             robot::BoxIcon::Question, {"&Yes", "&No"}, "&No");
}

robot::MessageBoxContent Removed(const std::string& appName) {
  return Box(appName + " Uninstall", appName + " was removed from your computer.",
             robot::BoxIcon::Information, {"OK"}, "OK");
}

robot::MessageBoxContent RemovedExcept(const std::string& appName,
                                       const std::vector<std::string>& lines) {
  std::string text = appName + " was removed from your computer, except for these items:";
  for (const std::string& line : lines) text += "\n\n" + line;
  return Box(appName + " Uninstall", text, robot::BoxIcon::Warning, {"OK"}, "OK");
}

// Expects `expected` as the uninstaller's next box and presses `answer`.
void ExpectBox(const robot::Program& uninstaller, const robot::MessageBoxContent& expected,
               int answer, const std::string& screenshot = "") {
  HWND box = robot::WaitForMessageBox(uninstaller.Id(), 20000);
  ASSERT_NE(box, nullptr) << "no box; expected " << expected;
  const robot::MessageBoxContent shown = robot::ReadMessageBox(box);
  if (!screenshot.empty()) robot::SaveScreenshot(screenshot);
  EXPECT_EQ(shown, expected);
  robot::AnswerMessageBox(box, answer);
  robot::WaitForWindowToClose(box);
}

// ---- the registry's other records ----

void SetCount(const std::string& path, DWORD count) {
  support::WriteRegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, path, count);
}

// The count of a shared file; -1 when it has none.
long CountOf(const std::string& path) {
  auto count = support::RegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, path);
  return count ? static_cast<long>(*count) : -1;
}

// The files and folders waiting for deletion at the next start, in order.
// Windows keeps pairs of names: "\\??\\" and the path, then its new name,
// empty for a deletion.
std::vector<std::string> PendingDeletions() {
  const std::vector<std::string> names =
      support::RegistryTexts(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
  std::vector<std::string> deletions;
  for (size_t i = 0; i + 1 < names.size() && names[i].size() > 4; i += 2) {
    if (names[i + 1].empty()) deletions.push_back(names[i].substr(4));  // without "\\??\\"
  }
  return deletions;
}

// Restores the pending operations as they were: nothing of these tests may
// happen at a later start of the prefix's server.
class PendingOperationsGuard {
 public:
  PendingOperationsGuard()
      : saved_(support::RegistryValue(HKEY_LOCAL_MACHINE, kSessionManager, kPending)) {}
  ~PendingOperationsGuard() {
    support::WriteRegistryValue(HKEY_LOCAL_MACHINE, kSessionManager, kPending, saved_);
  }

 private:
  static constexpr char kPending[] = "PendingFileRenameOperations";
  std::optional<support::RegistryData> saved_;
};

// Keeps a file open without sharing its deletion, as a running program
// keeps its own.
class FileInUse {
 public:
  explicit FileInUse(const std::string& path)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~FileInUse() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool Open() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// ---- the tests ----

struct RoundTripCase {
  const char* what;
  bool demoRunning;        // the demo's window is open when the uninstaller starts
  long otherUsers;         // of the shared library, counted before the install
  int sharedAnswer;        // to the question about the shared library; 0: none asked
};

// Install the demo, run its Uninstall entry as Windows would, answer the
// uninstaller's questions: everything the log names goes, the shared
// library gives back the demo's count (offered for deletion when no other
// program counts it), and the shared uninstaller stays. The registry
// records and association of the package are not in the log and stay too.
TEST(Uninstaller, RemovesTheInstalledDemo) {
  const std::string appName = "Vantorel Demo";
  const std::string caption = appName + " Uninstall";
  const std::string folder = DefaultDestination(appName);
  const std::string sharedLibrary = CommonFilesDirectory() + "\\Vantorel\\vtdemoshared.dll";
  const std::vector<std::string> links = {
      SpecialFolderPath(CSIDL_PROGRAMS) + "\\" + appName + ".lnk", DesktopLink(appName),
      SpecialFolderPath(CSIDL_STARTUP) + "\\" + appName + ".lnk"};
  const RoundTripCase cases[] = {
      {"the demo running; its shared library used by another program too", true, 1, 0},
      {"the shared library used by the demo alone, removed", false, 0, IDYES},
  };
  for (const RoundTripCase& c : cases) {
    SCOPED_TRACE(c.what);
    // What an earlier run may have left; a link in Startup would start the
    // demo with the prefix.
    Installation installed = InstalledApp(appName);
    installed.shortcuts = links;
    Clean(installed);
    // Windows has the key of shared-file counts; a new Wine prefix does not.
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, sharedLibrary.c_str());
    RemovePath(sharedLibrary);
    HKEY sharedDlls;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kSharedDlls, &sharedDlls), ERROR_SUCCESS);
    RegCloseKey(sharedDlls);
    if (c.otherUsers > 0) {
      MakeFolders(sharedLibrary.substr(0, sharedLibrary.rfind('\\')));
      ASSERT_TRUE(WriteBytes(sharedLibrary, testpkg::ToBytes("another program's copy")));
      SetCount(sharedLibrary, static_cast<DWORD>(c.otherUsers));
    }

    robot::Program setup = StartSetup(PackagePath("demo"));
    ASSERT_TRUE(setup.Started()) << setup.Error();
    // The demo's wizard, with the choices it offers: all three shortcuts.
    HWND sheet = wizardtest::WaitForSheet(setup);
    ASSERT_NE(sheet, nullptr) << "no wizard";
    ASSERT_TRUE(wizardtest::GoTo(sheet, wizardtest::Page::kShortcuts));
    ASSERT_TRUE(robot::Click(robot::ChildById(sheet, wizardtest::kFinish)));
    HWND finish = WaitForFinishDialog(setup, appName + " Setup");
    ASSERT_NE(finish, nullptr) << "no finish dialog";
    robot::Click(robot::ChildById(finish, 3));
    ASSERT_EQ(robot::WaitForExit(setup), 0u);
    for (const std::string& link : links) ASSERT_TRUE(Exists(link)) << link;
    ASSERT_EQ(CountOf(sharedLibrary), c.otherUsers + 1);
    auto command = RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(appName), "UninstallString");
    ASSERT_TRUE(command.has_value());

    robot::Program demo;
    HWND demoWindow = nullptr;
    if (c.demoRunning) {
      demo = robot::Start(folder + "\\demoapp.exe");
      demoWindow = robot::WaitForTopWindow(demo.Id(), "VantorelDemoWindow");
      ASSERT_NE(demoWindow, nullptr);
    }
    robot::Program uninstaller = robot::StartCommandLine(*command);
    ASSERT_TRUE(uninstaller.Started()) << uninstaller.Error();
    ExpectBox(uninstaller, Confirmation(appName), IDYES,
              c.demoRunning ? "uninstaller_confirmation" : "");
    if (c.demoRunning) {
      ExpectBox(uninstaller,
                Box(caption,
                    appName + " is running. Close it, then choose Retry.\n\nChoose Cancel to "
                              "leave it installed.",
                    robot::BoxIcon::Warning, {"&Retry", "Cancel"}, "&Retry"),
                IDRETRY, "uninstaller_program_running");
      // Retry with the program still there asks again; the user closes it.
      HWND again = robot::WaitForMessageBox(uninstaller.Id(), 20000);
      ASSERT_NE(again, nullptr);
      PostMessageA(demoWindow, WM_CLOSE, 0, 0);
      ASSERT_EQ(robot::WaitForExit(demo), 0u);
      robot::AnswerMessageBox(again, IDRETRY);
      robot::WaitForWindowToClose(again);
    }
    if (c.sharedAnswer != 0) {
      ExpectBox(uninstaller,
                Box(caption,
                    "No program uses the shared file '" + sharedLibrary +
                        "' any more.\n\nDo you want to remove it? A program that still needs "
                        "it may stop working: when in doubt, choose No.",
                    robot::BoxIcon::Question, {"&Yes", "&No"}, "&No"),
                c.sharedAnswer, "uninstaller_demo_shared_library");
    }
    ExpectBox(uninstaller, Removed(appName), IDOK, "uninstaller_removed");
    EXPECT_EQ(robot::WaitForExit(uninstaller), 0u);

    for (const std::string& link : links) EXPECT_FALSE(Exists(link)) << link;
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(HasUninstallEntry(appName));
    EXPECT_EQ(CountOf(sharedLibrary), c.otherUsers > 0 ? c.otherUsers : -1);
    EXPECT_EQ(Exists(sharedLibrary), c.otherUsers > 0 || c.sharedAnswer != IDYES);
    EXPECT_TRUE(Exists(Uninstaller()));
    EXPECT_TRUE(RegistryText(HKEY_CURRENT_USER, "Software\\Vantorel\\Demo", "InstallDir"));
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Vantorel\\Demo");
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, sharedLibrary.c_str());
    RemovePath(sharedLibrary);
  }
}

struct RefusalCase {
  const char* what;
  std::string commandLineRest;  // after the uninstaller's path
  std::string logFolder;        // where a good log is put; empty: none
  std::string caption, text;
};

// A log that cannot be trusted, or whose folder is not the application's
// own, removes nothing: one error box, exit code 1.
TEST(Uninstaller, RefusesWithoutRemovingAnything) {
  PlaceUninstaller();
  Installation installed = InstalledApp("VT Refused");
  installed.files = {"app.exe"};
  installed.shortcuts = {DesktopLink("VT Refused")};
  const std::string windows = WindowsDirectory();
  const std::string profile = SpecialFolderPath(CSIDL_PROFILE);
  const std::string drive = windows.substr(0, 3);
  auto refused = [](const std::string& folder) {
    return "The uninstall log lies in '" + folder +
           "', which is not a folder of the application's own. Nothing was removed.";
  };
  const std::string logPath = installed.LogPath();
  const RefusalCase cases[] = {
      {"no log named", "", "", "Vantorel",
       "The uninstaller needs the full path of an application's Uninst.log on its command "
       "line, as the list of installed programs gives it. Nothing was removed."},
      {"a relative log path", "Uninst.log", "", "Vantorel",
       "The uninstaller needs the full path of an application's Uninst.log on its command "
       "line, as the list of installed programs gives it. Nothing was removed."},
      {"no log there", installed.folder + "\\Gone\\Uninst.log", "", "Vantorel",
       "The uninstall log '" + installed.folder +
           "\\Gone\\Uninst.log' does not exist: the application may have been removed "
           "already. Nothing was removed."},
      {"the drive root", drive + "Uninst.log", drive, "VT Refused Uninstall", refused(drive)},
      {"the Windows directory", windows + "\\Uninst.log", windows, "VT Refused Uninstall",
       refused(windows)},
      {"the Windows directory by a detour", installed.folder + "\\..\\..\\" +
           windows.substr(3) + "\\Uninst.log", windows, "VT Refused Uninstall", refused(windows)},
      {"the system directory", SystemDirectory() + "\\Uninst.log", SystemDirectory(),
       "VT Refused Uninstall", refused(SystemDirectory())},
      {"the program-files directory", ProgramFilesDirectory() + "\\Uninst.log",
       ProgramFilesDirectory(), "VT Refused Uninstall", refused(ProgramFilesDirectory())},
      {"the common-files directory", CommonFilesDirectory() + "\\Uninst.log",
       CommonFilesDirectory(), "VT Refused Uninstall", refused(CommonFilesDirectory())},
      {"the profile", profile + "\\Uninst.log", profile, "VT Refused Uninstall", refused(profile)},
      {"the folder of all profiles", profile.substr(0, profile.rfind('\\')) + "\\Uninst.log",
       profile.substr(0, profile.rfind('\\')), "VT Refused Uninstall",
       refused(profile.substr(0, profile.rfind('\\')))},
      {"the desktop", SpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\Uninst.log",
       SpecialFolderPath(CSIDL_DESKTOPDIRECTORY), "VT Refused Uninstall",
       refused(SpecialFolderPath(CSIDL_DESKTOPDIRECTORY))},
      {"the documents", SpecialFolderPath(CSIDL_PERSONAL) + "\\Uninst.log",
       SpecialFolderPath(CSIDL_PERSONAL), "VT Refused Uninstall",
       refused(SpecialFolderPath(CSIDL_PERSONAL))},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.what);
    Lay(installed);
    if (!c.logFolder.empty()) {
      ASSERT_TRUE(WriteBytes(c.logFolder + "\\Uninst.log", testpkg::ToBytes(installed.LogText())));
    }
    robot::Program uninstaller = StartUninstaller(c.commandLineRest);
    ExpectBox(uninstaller, Failure(c.caption, c.text), IDOK);
    EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);
    ExpectUntouched(installed);
    if (!c.logFolder.empty()) {
      EXPECT_TRUE(Exists(c.logFolder + "\\Uninst.log"));
      RemovePath(c.logFolder + "\\Uninst.log");
    }
  }
  Clean(installed);
}

// A log that is not exactly what setup writes names its first wrong line
// and removes nothing. Which line each kind of damage names is the log
// parser's table (uninstaller_text_test); here one damaged log end to end.
TEST(Uninstaller, DamagedLogRemovesNothing) {
  PlaceUninstaller();
  Installation installed = InstalledApp("VT Damaged");
  installed.files = {"app.exe", "Docs\\readme.txt"};
  installed.shortcuts = {DesktopLink("VT Damaged")};
  // A shortcut too few: the shared-file count stands where a link should.
  Lay(installed, "VT Damaged\nDon'tCheckProgramNotRunning\n2\n" + installed.shortcuts[0] + "\n0\n");
  robot::Program uninstaller = StartUninstaller(installed.LogPath());
  ExpectBox(uninstaller,
            Failure("Vantorel", "The uninstall log '" + installed.LogPath() +
                                    "' is damaged (line 5). Nothing was removed."),
            IDOK);
  EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);
  ExpectUntouched(installed);
  Clean(installed);
}

// Asked once, naming the application; No, or Cancel while its program
// runs, removes nothing.
TEST(Uninstaller, NothingGoesUnlessTheUserAgrees) {
  PlaceUninstaller();
  Installation installed = InstalledApp("VT Declined");
  installed.check = true;
  installed.windowClass = "VTUninstallTestWindow";
  installed.files = {"app.exe"};
  installed.shortcuts = {DesktopLink("VT Declined")};
  Lay(installed);

  robot::Program declined = StartUninstaller(installed.LogPath());
  ExpectBox(declined, Confirmation("VT Declined"), IDNO);
  EXPECT_EQ(robot::WaitForExit(declined), 1u);
  ExpectUntouched(installed);

  // The application's window, here in this process.
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "VTUninstallTestWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA("VTUninstallTestWindow", "VT Declined", WS_OVERLAPPED, 0, 0, 100,
                              100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  robot::Program cancelled = StartUninstaller(installed.LogPath());
  ExpectBox(cancelled, Confirmation("VT Declined"), IDYES);
  HWND running = robot::WaitForMessageBox(cancelled.Id(), 20000);
  ASSERT_NE(running, nullptr);
  robot::AnswerMessageBox(running, IDCANCEL);
  robot::WaitForWindowToClose(running);
  EXPECT_EQ(robot::WaitForExit(cancelled), 1u);
  DestroyWindow(window);
  ExpectUntouched(installed);
  Clean(installed);
}

struct SharedCase {
  const char* what;
  std::string path;
  long countBefore;  // -1: no count
  int answer;        // to the question whether to remove it; 0: no question
  long countAfter;
  bool fileStays;
};

// Each listed shared file gives back one count. At 0 the count goes and the
// user decides about the file (Windows' convention); a file still counted,
// declined, without a count or that is the shared uninstaller stays. What
// stays in the application's folder keeps the folder.
TEST(Uninstaller, SharedFilesGiveBackTheirCounts) {
  PlaceUninstaller();
  PendingOperationsGuard pending;
  const std::string shared = ScratchFolder("shared files");
  Installation installed = InstalledApp("VT Shared");
  installed.files = {"app.exe", "own.dll"};
  const SharedCase cases[] = {
      {"still used elsewhere", shared + "\\used.dll", 3, 0, 2, true},
      {"no longer used, removed", shared + "\\unused.dll", 1, IDYES, -1, false},
      {"no longer used, kept", shared + "\\kept.dll", 1, IDNO, -1, true},
      {"no count", shared + "\\uncounted.dll", -1, 0, -1, true},
      {"in use", shared + "\\in use.dll", 1, IDYES, -1, true},
      {"in the application's folder, still used", installed.folder + "\\own.dll", 2, 0, 1, true},
      {"the shared uninstaller", Uninstaller(), 1, 0, -1, true},
  };
  for (const SharedCase& c : cases) {
    installed.sharedFiles.push_back(c.path);
    if (c.path.find(shared) == 0) WriteBytes(c.path, testpkg::ToBytes("shared"));
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, c.path.c_str());
    if (c.countBefore >= 0) SetCount(c.path, static_cast<DWORD>(c.countBefore));
  }
  Lay(installed);
  FileInUse inUse(shared + "\\in use.dll");
  ASSERT_TRUE(inUse.Open());

  robot::Program uninstaller = StartUninstaller(installed.LogPath());
  ExpectBox(uninstaller, Confirmation("VT Shared"), IDYES);
  for (const SharedCase& c : cases) {
    if (c.answer == 0) continue;
    SCOPED_TRACE(c.what);
    ExpectBox(uninstaller,
              Box("VT Shared Uninstall",
                  "No program uses the shared file '" + c.path +
                      "' any more.\n\nDo you want to remove it? A program that still needs it "
                      "may stop working: when in doubt, choose No.",
                  robot::BoxIcon::Question, {"&Yes", "&No"}, "&No"),
              c.answer, c.answer == IDNO ? "uninstaller_shared_file" : "");
  }
  ExpectBox(uninstaller,
            RemovedExcept("VT Shared",
                          {"The shared file '" + shared +
                               "\\uncounted.dll' has no usage count and was left in place.",
                           "'" + shared +
                               "\\in use.dll' is in use: it will be removed when Windows "
                               "restarts.",
                           "The folder '" + installed.folder +
                               "' was left in place: it holds shared files that were kept."}),
            IDOK, "uninstaller_left_items");
  EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);

  for (const SharedCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CountOf(c.path), c.countAfter);
    EXPECT_EQ(Exists(c.path), c.fileStays);
  }
  EXPECT_FALSE(Exists(installed.folder + "\\app.exe"));
  EXPECT_FALSE(Exists(installed.LogPath()));
  EXPECT_FALSE(HasUninstallEntry("VT Shared"));
  EXPECT_EQ(PendingDeletions(), std::vector<std::string>{shared + "\\in use.dll"});
  for (const SharedCase& c : cases) RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, c.path.c_str());
  Clean(installed);
}

// The folder goes with everything in it, read-only files and subfolders
// too; a file in use goes at the next start, and its folders after it.
TEST(Uninstaller, FolderInUseGoesAtTheNextStart) {
  PlaceUninstaller();
  PendingOperationsGuard pending;
  Installation installed = InstalledApp("VT In Use");
  installed.files = {"app.exe", "read-only.dat", "Data\\Deeper\\busy.dat", "Data\\other.dat"};
  installed.shortcuts = {DesktopLink("VT In Use")};
  Lay(installed);
  SetFileAttributesA((installed.folder + "\\read-only.dat").c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string busy = installed.folder + "\\Data\\Deeper\\busy.dat";
  FileInUse inUse(busy);
  ASSERT_TRUE(inUse.Open());

  robot::Program uninstaller = StartUninstaller(installed.LogPath());
  ExpectBox(uninstaller, Confirmation("VT In Use"), IDYES);
  ExpectBox(uninstaller,
            RemovedExcept("VT In Use",
                          {"'" + busy + "' is in use: it will be removed when Windows restarts.",
                           "The folder '" + installed.folder +
                               "' will be removed when Windows restarts."}),
            IDOK);
  EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);

  EXPECT_FALSE(Exists(installed.shortcuts[0]));
  EXPECT_FALSE(Exists(installed.folder + "\\read-only.dat"));
  EXPECT_FALSE(Exists(installed.folder + "\\Data\\other.dat"));
  EXPECT_TRUE(Exists(busy));
  EXPECT_FALSE(HasUninstallEntry("VT In Use"));
  EXPECT_EQ(PendingDeletions(),
            (std::vector<std::string>{busy, installed.folder + "\\Data\\Deeper",
                                      installed.folder + "\\Data", installed.folder}));
  Clean(installed);
}

// The closing message lists ten items and counts the others, so that it
// still fits the screen.
TEST(Uninstaller, ClosingMessageListsTenItemsAndCountsTheRest) {
  PlaceUninstaller();
  PendingOperationsGuard pending;
  const std::string links = ScratchFolder("busy links");
  Installation installed = InstalledApp("VT Many");
  installed.files = {"app.exe"};
  std::vector<std::unique_ptr<FileInUse>> inUse;
  for (int i = 1; i <= 12; ++i) {
    installed.shortcuts.push_back(links + "\\link " + std::to_string(i) + ".lnk");
  }
  Lay(installed);
  std::vector<std::string> lines;
  for (const std::string& link : installed.shortcuts) {
    inUse.push_back(std::make_unique<FileInUse>(link));
    if (lines.size() < 10) {
      lines.push_back("'" + link + "' is in use: it will be removed when Windows restarts.");
    }
  }
  lines.push_back("... and 2 more.");

  robot::Program uninstaller = StartUninstaller(installed.LogPath());
  ExpectBox(uninstaller, Confirmation("VT Many"), IDYES);
  ExpectBox(uninstaller, RemovedExcept("VT Many", lines), IDOK);
  EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);
  EXPECT_EQ(PendingDeletions(), installed.shortcuts);
  EXPECT_FALSE(Exists(installed.folder));
  inUse.clear();
  Clean(installed);
}

}  // namespace
