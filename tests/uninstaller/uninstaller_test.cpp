// VTUnInst.exe as a user meets it: started with the command line of an
// Uninstall entry, its questions answered by the robot, and what it leaves
// of an installation checked on disk and in the registry. The round trip
// and the upgrade install with the real setup program first; the other
// tests lay out what setup would leave (files, links, the log, the install
// record, the Uninstall entry with their digests, shared-file counts) and
// so also state the contract of the log and the record from the
// uninstaller's side.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/sha256_digest.h"
#include "setup_test_support.h"
#include "wizard_test_support.h"

using namespace setuptest;

namespace {

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
// Made by make-links (fixture uninstaller_links).
const char kLinks[] = "C:\\VT Links";

// Where setup puts it.
void PlaceUninstaller() {
  ASSERT_TRUE(
      WriteBytes(InstalledUninstaller(), *ReadBytes(robot::WindowsPathOf(kUninstallerProgram))));
}

robot::Program StartUninstaller(const std::string& logPath) {
  return robot::StartCommandLine(InstalledUninstaller() + " " + logPath);
}

std::string Text(const std::optional<Bytes>& bytes) {
  return bytes ? std::string(bytes->begin(), bytes->end()) : "(missing)";
}

std::string Digest(const std::string& text) {
  SharedString digest;
  Sha256Digest(text.data(), text.size(), digest);
  return digest.Text();
}

// ---- an installation as setup leaves it ----

struct Installation {
  std::string appName;
  bool check = false;
  std::string windowClass;
  std::string folder;                    // the destination, holding the log
  std::vector<std::string> folders;      // recorded, below the folder ("." itself)
  std::vector<std::string> files;        // recorded, below the folder
  std::vector<std::string> shortcuts;    // full paths
  std::vector<std::string> sharedFiles;  // full paths, as the log lists them
  std::map<std::string, int> raises;     // the record's; default one per log line
  bool withRecord = true;                // else a log of another setup program

  std::string LogPath() const { return folder + "\\Uninst.log"; }
  std::string RecordPath() const { return folder + "\\Uninst.rec"; }
  std::string LogText() const {
    std::string text = appName + "\n";
    text +=
        check ? "CheckProgramNotRunning\n" + windowClass + "\n" : "Don'tCheckProgramNotRunning\n";
    text += std::to_string(shortcuts.size()) + "\n";
    for (const std::string& link : shortcuts) text += link + "\n";
    text += std::to_string(sharedFiles.size()) + "\n";
    for (const std::string& file : sharedFiles) text += file + "\n";
    return text;
  }
  std::string RecordText() const {
    std::string text = "Vantorel install record 1\n" + appName + "\n";
    for (const std::string& below : folders) text += "folder " + below + "\n";
    for (const std::string& below : files) text += "file " + below + "\n";
    std::map<std::string, int> counted = raises;
    if (counted.empty()) {
      for (const std::string& file : sharedFiles) ++counted[file];
    }
    for (const auto& [path, times] : counted) {
      text += "shared " + std::to_string(times) + " " + path + "\n";
    }
    return text;
  }
};

// An application installed where setup puts it without a destination page.
Installation InstalledApp(const std::string& appName) {
  Installation installed;
  installed.appName = appName;
  installed.folder = DefaultDestination(appName);
  installed.folders = {"."};
  return installed;
}

std::string DesktopLink(const std::string& appName) {
  return SpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\" + appName + ".lnk";
}

// What a setup without pages makes: Programs menu, desktop, Startup.
std::vector<std::string> AllLinks(const std::string& appName) {
  return {SpecialFolderPath(CSIDL_PROGRAMS) + "\\" + appName + ".lnk", DesktopLink(appName),
          SpecialFolderPath(CSIDL_STARTUP) + "\\" + appName + ".lnk"};
}

void SetText(const std::string& key, const char* name, const std::string& text) {
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ, text.c_str(),
                  static_cast<DWORD>(text.size() + 1));
}

// Lays it out: its files, links, log and record (`logText` and
// `recordText` when given, else the right ones), and its Uninstall entry
// with the digests of the right texts, or of those written when
// `digestsOfWritten` (as an administrator could store them).
void Lay(const Installation& installed, const std::string& logText = "",
         const std::string& recordText = "", bool digestsOfWritten = false) {
  ASSERT_TRUE(MakeFolders(installed.folder));
  for (const std::string& file : installed.files) {
    const std::string path = installed.folder + "\\" + file;
    MakeFolders(path.substr(0, path.rfind('\\')));
    ASSERT_TRUE(WriteBytes(path, testpkg::ToBytes("installed " + file)));
  }
  for (const std::string& link : installed.shortcuts) {
    ASSERT_TRUE(WriteBytes(link, testpkg::ToBytes("a shell link")));
  }
  const std::string log = logText.empty() ? installed.LogText() : logText;
  const std::string record = recordText.empty() ? installed.RecordText() : recordText;
  ASSERT_TRUE(WriteBytes(installed.LogPath(), testpkg::ToBytes(log)));
  const std::string key = UninstallKey(installed.appName);
  SetText(key, "DisplayName", installed.appName);
  SetText(key, "UninstallString", InstalledUninstaller() + " " + installed.LogPath());
  if (!installed.withRecord) return;
  ASSERT_TRUE(WriteBytes(installed.RecordPath(), testpkg::ToBytes(record)));
  SetText(key, "UninstallLogSHA256", Digest(digestsOfWritten ? log : installed.LogText()));
  SetText(key, "InstallRecordSHA256", Digest(digestsOfWritten ? record : installed.RecordText()));
}

bool HasUninstallEntry(const std::string& appName) {
  return RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(appName), "DisplayName").has_value();
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

robot::MessageBoxContent SharedQuestion(const std::string& appName, const std::string& path) {
  return Box(appName + " Uninstall",
             "No program uses the shared file '" + path +
                 "' any more.\n\nDo you want to remove it? A program that still needs it may "
                 "stop working: when in doubt, choose No.",
             robot::BoxIcon::Question, {"&Yes", "&No"}, "&No");
}

// Expects `expected` as the uninstaller's next box and presses `answer`;
// `whileShown` acts while the box is up.
void ExpectBox(const robot::Program& uninstaller, const robot::MessageBoxContent& expected,
               int answer, const std::string& screenshot = "",
               const std::function<void()>& whileShown = {}) {
  HWND box = robot::WaitForMessageBox(uninstaller.Id(), 20000);
  ASSERT_NE(box, nullptr) << "no box; expected " << expected;
  const robot::MessageBoxContent shown = robot::ReadMessageBox(box);
  if (!screenshot.empty()) robot::SaveScreenshot(screenshot);
  EXPECT_EQ(shown, expected);
  if (whileShown) whileShown();
  robot::AnswerMessageBox(box, answer);
  robot::WaitForWindowToClose(box);
}

// The closing message that lists what stayed: `lines` in any order (a
// folder is read in the file system's order), or the first ten of them and
// how many more.
void ExpectLeft(const robot::Program& uninstaller, const std::string& appName,
                std::vector<std::string> lines, const std::string& screenshot = "") {
  HWND box = robot::WaitForMessageBox(uninstaller.Id(), 20000);
  ASSERT_NE(box, nullptr) << "no closing message";
  robot::MessageBoxContent shown = robot::ReadMessageBox(box);
  if (!screenshot.empty()) robot::SaveScreenshot(screenshot);
  robot::AnswerMessageBox(box, IDOK);
  robot::WaitForWindowToClose(box);
  const std::string head = appName + " was removed from your computer, except for these items:";
  ASSERT_EQ(shown.text.substr(0, head.size()), head) << shown;
  std::vector<std::string> shownLines;
  for (size_t at = head.size(); at < shown.text.size();) {
    const size_t start = at + 2;  // after "\n\n"
    at = shown.text.find("\n\n", start);
    if (at == std::string::npos) at = shown.text.size();
    shownLines.push_back(shown.text.substr(start, at - start));
  }
  if (lines.size() > 10) {
    ASSERT_EQ(shownLines.size(), 11u);
    EXPECT_EQ(shownLines.back(), "... and " + std::to_string(lines.size() - 10) + " more.");
    shownLines.pop_back();
    for (const std::string& line : shownLines) {
      EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
  } else {
    std::sort(lines.begin(), lines.end());
    std::sort(shownLines.begin(), shownLines.end());
    EXPECT_EQ(shownLines, lines);
  }
  shown.text = "";
  EXPECT_EQ(shown, Box(appName + " Uninstall", "", robot::BoxIcon::Warning, {"OK"}, "OK"));
}

std::string NotInstalled(const std::string& path) {
  return "'" + path + "' was left in place: setup did not install it.";
}

std::string InUse(const std::string& path) {
  return "'" + path +
         "' is in use and could not be moved aside to be removed when Windows restarts: it was "
         "left in place.";
}

std::string BehindLink(const std::string& path) {
  return "'" + path +
         "' was left in place: it is a link, or lies behind one, and what it leads to is not "
         "the application's.";
}

// ---- the registry's other records ----

void SetCount(const std::string& path, DWORD count, DWORD type = REG_DWORD) {
  support::WriteRegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, path, count, 0, type);
}

// The count of a shared file; -1 when it has none.
long CountOf(const std::string& path) {
  auto count = support::RegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, path);
  return count ? static_cast<long>(*count) : -1;
}

void MakeSharedDllsKey() {
  HKEY key;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kSharedDlls, &key), ERROR_SUCCESS);
  RegCloseKey(key);
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

// ---- the tests ----

struct RoundTripCase {
  const char* what;
  bool demoRunning;  // the demo's window is open when the uninstaller starts
  long otherUsers;   // of the shared library, counted before the install
  int sharedAnswer;  // to the question about the shared library; 0: none asked
};

// Install the (64-bit) demo, run its Uninstall entry as Windows would, answer
// the uninstaller's questions: everything the log and the record name goes,
// the shared library gives back the demo's count (offered for deletion
// when no other program counts it), and the shared uninstaller stays. The
// values the package's registry records wrote go with it.
TEST(Uninstaller, RemovesTheInstalledDemo) {
  const std::string appName = "Vantorel Demo x64";
  const std::string caption = appName + " Uninstall";
  const std::string folder = DefaultDestination(appName);
  const std::string sharedLibrary = CommonFilesDirectory() + "\\Vantorel\\vtdemoshared.dll";
  const std::vector<std::string> links = AllLinks(appName);
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
    // A value setup finds is not setup's to remove: none from other tests.
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Vantorel\\Demo x64");
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
      ExpectBox(uninstaller, SharedQuestion(appName, sharedLibrary), c.sharedAnswer,
                "uninstaller_demo_shared_library");
    }
    ExpectBox(uninstaller, Removed(appName), IDOK, "uninstaller_removed");
    EXPECT_EQ(robot::WaitForExit(uninstaller), 0u);

    for (const std::string& link : links) EXPECT_FALSE(Exists(link)) << link;
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(HasUninstallEntry(appName));
    EXPECT_EQ(CountOf(sharedLibrary), c.otherUsers > 0 ? c.otherUsers : -1);
    EXPECT_EQ(Exists(sharedLibrary), c.otherUsers > 0 || c.sharedAnswer != IDYES);
    EXPECT_TRUE(Exists(InstalledUninstaller()));
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, "Software\\Vantorel\\Demo x64", "InstallDir"));
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Vantorel\\Demo x64");
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, sharedLibrary.c_str());
    RemovePath(sharedLibrary);
  }
}

// Files the program and the user made in the folder, and files there before
// the install, stay with their folders and are named; what setup installed
// (also over a file there before) goes, and folders it made go once empty.
TEST(Uninstaller, TheUsersFilesStay) {
  const std::string appName = "VT User Files";
  Installation installed = InstalledApp(appName);
  installed.shortcuts = AllLinks(appName);
  Clean(installed);
  const std::string folder = installed.folder;
  // There before the install.
  ASSERT_TRUE(MakeFolders(folder + "\\Photos"));
  ASSERT_TRUE(WriteBytes(folder + "\\MyNotes.txt", testpkg::ToBytes("notes")));
  ASSERT_TRUE(WriteBytes(folder + "\\Photos\\pic.jpg", testpkg::ToBytes("a picture")));
  // Replaced by the package's file (through a staging file): installed, so it goes.
  ASSERT_TRUE(WriteBytes(folder + "\\demo.exe", testpkg::ToBytes("an older program")));
  testpkg::TestPackage package = PackageWithoutPages(appName);
  package.checkProgramNotRunning = 0;
  AddFile(package, "demo.exe", testpkg::ToBytes("the program"));
  AddFile(package, "MyNotes.txt", testpkg::ToBytes("the package's notes"), "Docs\\");
  AddFile(package, "manual.txt", testpkg::ToBytes("the manual"), "Docs\\Deep\\");
  SetupRun run =
      RunSetupToEnd(WriteSetup("user files", SetupFileAround(testpkg::BuildPackage(package))),
                    appName + " Setup");
  ASSERT_TRUE(run.finishDialog);
  // Made while the program was used.
  ASSERT_TRUE(MakeFolders(folder + "\\Saves"));
  ASSERT_TRUE(WriteBytes(folder + "\\Saves\\game1.sav", testpkg::ToBytes("a saved game")));
  ASSERT_TRUE(WriteBytes(folder + "\\settings.ini", testpkg::ToBytes("[settings]")));
  ASSERT_TRUE(WriteBytes(folder + "\\Docs\\mine.txt", testpkg::ToBytes("mine")));

  auto command = RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(appName), "UninstallString");
  ASSERT_TRUE(command.has_value());
  robot::Program uninstaller = robot::StartCommandLine(*command);
  ExpectBox(uninstaller, Confirmation(appName), IDYES);
  ExpectLeft(uninstaller, appName,
             {NotInstalled(folder + "\\MyNotes.txt"), NotInstalled(folder + "\\Photos"),
              NotInstalled(folder + "\\Saves"), NotInstalled(folder + "\\settings.ini"),
              NotInstalled(folder + "\\Docs\\mine.txt")},
             "uninstaller_user_files");
  EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);

  EXPECT_EQ(Text(ReadBytes(folder + "\\MyNotes.txt")), "notes");
  EXPECT_EQ(Text(ReadBytes(folder + "\\Photos\\pic.jpg")), "a picture");
  EXPECT_EQ(Text(ReadBytes(folder + "\\Saves\\game1.sav")), "a saved game");
  EXPECT_EQ(Text(ReadBytes(folder + "\\settings.ini")), "[settings]");
  EXPECT_EQ(Text(ReadBytes(folder + "\\Docs\\mine.txt")), "mine");
  for (const char* gone :
       {"demo.exe", "Docs\\MyNotes.txt", "Docs\\Deep", "Uninst.log", "Uninst.rec"}) {
    EXPECT_FALSE(Exists(folder + "\\" + gone)) << gone;
  }
  for (const std::string& link : installed.shortcuts) EXPECT_FALSE(Exists(link)) << link;
  EXPECT_FALSE(HasUninstallEntry(appName));
  Clean(installed);
}

// A link in the folder, recorded or not, and a recorded folder that became
// a link: the links stay, and what they lead to keeps its bytes.
TEST(Uninstaller, LinksAreNeverFollowed) {
  PlaceUninstaller();
  Installation installed;
  installed.appName = "VT Links";
  installed.folder = std::string(kLinks) + "\\App";
  installed.folders = {".", "folder link"};
  installed.files = {"app.exe", "file link.txt", "folder link\\inner.txt"};
  const std::string outside = std::string(kLinks) + "\\Outside";
  const auto before = StateOf({outside}, {});
  // make-links made the links: only the program is written here.
  Installation laid = installed;
  laid.files = {"app.exe"};
  Lay(laid, "", installed.RecordText(), true);

  robot::Program uninstaller = StartUninstaller(installed.LogPath());
  ExpectBox(uninstaller, Confirmation(installed.appName), IDYES);
  ExpectLeft(uninstaller, installed.appName,
             {BehindLink(installed.folder + "\\file link.txt"),
              BehindLink(installed.folder + "\\folder link\\inner.txt"),
              BehindLink(installed.folder + "\\folder link"),
              NotInstalled(installed.folder + "\\other link.txt")});
  EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);
  EXPECT_EQ(StateOf({outside}, {}), before);
  EXPECT_FALSE(Exists(installed.folder + "\\app.exe"));
  EXPECT_TRUE(Exists(installed.folder + "\\file link.txt"));
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey(installed.appName).c_str());
}

struct SwapCase {
  const char* what;
  const char* swapped;    // below the application's folder; "." the folder itself
  bool atSharedQuestion;  // else while the removal is confirmed
};

// The application's folder is held from before the first question to the
// end, and so is every folder the uninstaller goes into: while a question
// is up, no folder can be renamed to put a link to another application's
// folder in its place (as a user who may write there would try), and what
// goes after a question is what was checked before it. Wine lets a folder
// be renamed from the Linux side whatever Windows programs hold: the swap
// is tried as a Windows program would, and a link is made only where that
// rename was let through.
TEST(Uninstaller, NoFolderCanBeSwappedWhileAQuestionIsUp) {
  PlaceUninstaller();
  MakeSharedDllsKey();
  Installation installed = InstalledApp("VT Swap");
  const std::string other = DefaultDestination("VT Swap Other");
  installed.folders = {".", "lib"};
  installed.files = {"app.exe", "lib\\data.dat"};
  installed.sharedFiles = {installed.folder + "\\lib\\common.dll"};
  const SwapCase cases[] = {
      {"the application's folder, while the removal is confirmed", ".", false},
      {"lib, while the shared file is asked about", "lib", true},
  };
  for (const SwapCase& c : cases) {
    SCOPED_TRACE(c.what);
    Clean(installed);
    RemovePath(other);
    for (const char* name : {"app.exe", "lib\\data.dat", "lib\\common.dll"}) {
      MakeFolders(other + "\\lib");
      ASSERT_TRUE(WriteBytes(other + "\\" + name, testpkg::ToBytes("another application's")));
    }
    Lay(installed);
    ASSERT_TRUE(WriteBytes(installed.sharedFiles[0], testpkg::ToBytes("shared")));
    SetCount(installed.sharedFiles[0], 1);
    const auto before = StateOf({other}, {});
    const bool whole = std::string(c.swapped) == ".";
    const std::string swapped = whole ? installed.folder : installed.folder + "\\" + c.swapped;
    bool renamed = false;
    auto swap = [&] {
      renamed = MoveFileA(swapped.c_str(), (swapped + " moved").c_str()) != FALSE;
      if (renamed) {
        RunLinuxShell("ln -s \"$1\" \"$2\"", {whole ? other : other + "\\" + c.swapped, swapped});
      }
    };

    robot::Program uninstaller = StartUninstaller(installed.LogPath());
    ExpectBox(uninstaller, Confirmation("VT Swap"), IDYES, "",
              c.atSharedQuestion ? std::function<void()>() : swap);
    ExpectBox(uninstaller, SharedQuestion("VT Swap", installed.sharedFiles[0]), IDYES,
              "uninstaller_swap_at_question", c.atSharedQuestion ? swap : std::function<void()>());
    ExpectBox(uninstaller, Removed("VT Swap"), IDOK);
    EXPECT_EQ(robot::WaitForExit(uninstaller), 0u);
    EXPECT_FALSE(renamed) << swapped << " was renamed while the uninstaller held it";
    EXPECT_EQ(StateOf({other}, {}), before);
    EXPECT_FALSE(Exists(installed.folder));
    if (renamed) RunLinuxShell("rm -f \"$1\"", {swapped});
    RemovePath(swapped + " moved");
  }
  RemovePath(other);
}

struct ChangeCase {
  const char* what;
  std::string commandLineRest;  // after the uninstaller's path; empty: the log's
  std::string log, record;      // as laid; empty: the right ones
  bool digestsOfWritten;        // stored by someone who may write the entry
  bool removeRecord;
  std::string uninstallString;  // empty: the right one
  robot::MessageBoxContent refusal;
};

// A log or record that is not as setup wrote it, or that the Uninstall
// entry does not vouch for, removes nothing: one error box, exit code 1,
// every file and registry value as it was.
TEST(Uninstaller, ChangedLogsAndRecordsRemoveNothing) {
  PlaceUninstaller();
  MakeSharedDllsKey();
  const std::string scratch = ScratchFolder("changed");
  Installation installed = InstalledApp("VT Changed");
  installed.folders = {".", "Docs"};
  installed.files = {"app.exe", "Docs\\readme.txt"};
  installed.shortcuts = {DesktopLink("VT Changed")};
  installed.sharedFiles = {scratch + "\\shared.dll"};
  // Another installed application, whose entry names its own log, and
  // files of others that a changed log could name.
  const std::string otherLog = DefaultDestination("VT Other") + "\\Uninst.log";
  SetText(UninstallKey("VT Other"), "UninstallString", InstalledUninstaller() + " " + otherLog);
  const std::string report = SpecialFolderPath(CSIDL_PERSONAL) + "\\report.lnk";
  const std::string publicLink =
      SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\VT Other.lnk";
  const std::string otherLibrary = SystemDirectory() + "\\otherlib.dll";
  const std::string otherDll = ProgramFilesDirectory() + "\\Other\\other.dll";
  MakeFolders(ProgramFilesDirectory() + "\\Other");
  for (const std::string& file :
       {report, publicLink, otherLibrary, otherDll, installed.sharedFiles[0]}) {
    ASSERT_TRUE(WriteBytes(file, testpkg::ToBytes("not VT Changed's")));
  }
  SetCount(otherLibrary, 3);
  SetCount(otherDll, 1);
  SetCount(installed.sharedFiles[0], 2);

  const std::string log = installed.LogPath(), record = installed.RecordPath();
  const std::string link = installed.shortcuts[0];
  auto damaged = [&](int line) {
    return Failure("Vantorel", "The uninstall log '" + log + "' is damaged (line " +
                                   std::to_string(line) + "). Nothing was removed.");
  };
  auto recordDamaged = [&](int line) {
    return Failure("Vantorel", "The install record '" + record + "' is damaged (line " +
                                   std::to_string(line) + "). Nothing was removed.");
  };
  auto notRegistered = [&](const std::string& appName) {
    return Failure("Vantorel", "The list of installed programs does not name the uninstall log '" +
                                   log + "' as the one of " + appName + ". Nothing was removed.");
  };
  const auto logChanged = Failure(
      "Vantorel", "The uninstall log '" + log +
                      "' is not as setup wrote it: it was changed since. Nothing was removed.");
  const auto recordChanged =
      Failure("Vantorel", "The install record '" + record +
                              "' is missing or not as setup wrote it. Nothing was removed.");
  std::string crlf = installed.LogText();
  for (size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2)
    crlf.insert(at, "\r");
  const std::string head = "Vantorel install record 1\nVT Changed\n";
  const std::string noCheck = "\nDon'tCheckProgramNotRunning\n";
  const ChangeCase cases[] = {
      {"no log named", " ", "", "", false, false, "",
       Failure("Vantorel",
               "The uninstaller needs the full path of an application's Uninst.log on "
               "its command line, as the list of installed programs gives it. Nothing "
               "was removed.")},
      {"no log there", installed.folder + "\\Gone\\Uninst.log", "", "", false, false, "",
       Failure("Vantorel", "The uninstall log '" + installed.folder +
                               "\\Gone\\Uninst.log' does not exist: the application may have "
                               "been removed already. Nothing was removed.")},
      {"CR LF line ends", "", crlf, "", false, false, "", damaged(1)},
      {"another application's name, its links and files", "",
       "VT Other" + noCheck + "2\n" + report + "\n" + publicLink + "\n4\n" + otherLibrary + "\n" +
           otherLibrary + "\n" + otherLibrary + "\n" + otherDll + "\n",
       "", false, false, "", damaged(4)},
      {"another installed application's name", "",
       "VT Other" + noCheck + "1\n" + DesktopLink("VT Other") + "\n0\n", "", false, false, "",
       notRegistered("VT Other")},
      {"a link twice", "",
       "VT Changed" + noCheck + "2\n" + link + "\n" + link + "\n1\n" + installed.sharedFiles[0] +
           "\n",
       "", true, false, "", damaged(5)},
      {"a shared file once more", "",
       "VT Changed" + noCheck + "1\n" + link + "\n2\n" + installed.sharedFiles[0] + "\n" +
           installed.sharedFiles[0] + "\n",
       "", false, false, "", logChanged},
      {"a file added to the record", "", "",
       installed.RecordText() + "outside " + otherLibrary + "\n", false, false, "", recordChanged},
      {"the record removed", "", "", "", false, true, "", recordChanged},
      {"the entry names another log", "", "", "", false, false,
       InstalledUninstaller() + " " + otherLog, notRegistered("VT Changed")},
      {"a record with ..", "", "", head + "file ..\\..\\windows\\win.ini\n", true, false, "",
       recordDamaged(3)},
      {"a record with a stream name", "", "", head + "file app.exe:hidden\n", true, false, "",
       recordDamaged(3)},
      {"a record with a device name", "", "", head + "file Docs\\con.txt\n", true, false, "",
       recordDamaged(3)},
      {"the record of another application", "", "", "Vantorel install record 1\nVT Other\n", true,
       false, "", recordDamaged(2)},
  };
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.what);
    Clean(installed);
    Lay(installed, c.log, c.record, c.digestsOfWritten);
    if (c.removeRecord) RemovePath(record);
    if (!c.uninstallString.empty()) {
      SetText(UninstallKey("VT Changed"), "UninstallString", c.uninstallString);
    }
    const std::vector<std::string> paths = {
        installed.folder,        link, report, publicLink, otherLibrary, otherDll,
        installed.sharedFiles[0]};
    const std::vector<std::string> keys = {UninstallKey("VT Changed"), UninstallKey("VT Other"),
                                           kSharedDlls};
    const auto before = StateOf(paths, keys);
    robot::Program uninstaller =
        StartUninstaller(c.commandLineRest.empty() ? log : c.commandLineRest);
    ExpectBox(uninstaller, c.refusal, IDOK);
    EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);
    EXPECT_EQ(StateOf(paths, keys), before);
  }
  Clean(installed);
  for (const std::string& file : {report, publicLink, otherLibrary, otherDll}) {
    RemovePath(file);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, file.c_str());
  }
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, installed.sharedFiles[0].c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey("VT Other").c_str());
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

// An existing folder on the prefix's own drive, not one that a link leads
// out of it (prefixes made before wine-env replaced every link to the home
// folder still link Templates there).
bool InThePrefix(const std::string& folder) {
  HANDLE handle = CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  char final[MAX_PATH] = {};
  GetFinalPathNameByHandleA(handle, final, MAX_PATH, 0);
  CloseHandle(handle);
  return Lower(final).rfind(Lower("\\\\?\\" + WindowsDirectory().substr(0, 3)), 0) == 0;
}

// Every folder Windows knows by a known-folder id, with a path.
std::vector<std::string> KnownFolders() {
  std::vector<std::string> folders;
  CoInitialize(nullptr);
  IKnownFolderManager* manager = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_KnownFolderManager, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IKnownFolderManager, reinterpret_cast<void**>(&manager)))) {
    KNOWNFOLDERID* ids = nullptr;
    UINT count = 0;
    if (SUCCEEDED(manager->GetFolderIds(&ids, &count))) {
      for (UINT i = 0; i < count; ++i) {
        wchar_t* path = nullptr;
        if (FAILED(SHGetKnownFolderPath(ids[i], KF_FLAG_DONT_VERIFY, nullptr, &path))) continue;
        char narrow[MAX_PATH] = {};
        WideCharToMultiByte(CP_ACP, 0, path, -1, narrow, MAX_PATH, nullptr, nullptr);
        CoTaskMemFree(path);
        if (InThePrefix(narrow)) folders.push_back(narrow);
      }
      CoTaskMemFree(ids);
    }
    manager->Release();
  }
  CoUninitialize();
  return folders;
}

// The names in a folder.
std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
    names.insert(entry.cFileName);
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return names;
}

// A log in the Windows folder or inside it, in a known folder or above one,
// or at a drive's root removes nothing, whatever else is in order: the
// Uninstall entry names it, and without a record nothing is to be checked.
// A folder that is a link is refused before its log is read, under the
// product's name.
TEST(Uninstaller, RefusesFoldersThatAreNotTheApplicationsOwn) {
  PlaceUninstaller();
  struct Refused {
    std::string folder;     // where the log is put, as the command line names it
    std::string canonical;  // as the message names it (case aside)
    std::string caption = "VT Refused Uninstall";
  };
  std::vector<Refused> cases;
  std::set<std::string> seen;
  for (const std::string& folder : KnownFolders()) {
    if (seen.insert(Lower(folder)).second) cases.push_back({folder, folder});
  }
  ASSERT_GT(cases.size(), 40u) << "the known folders are missing";
  const std::string windows = WindowsDirectory();
  const std::string profile = SpecialFolderPath(CSIDL_PROFILE);
  const std::string documents = SpecialFolderPath(CSIDL_PERSONAL);
  for (const std::string& folder :
       {windows.substr(0, 3), windows + "\\Temp", SystemDirectory() + "\\drivers",
        profile.substr(0, profile.rfind('\\'))}) {
    cases.push_back({folder, folder});
  }
  cases.push_back({DefaultDestination("VT Refused") + "\\..\\..\\" + windows.substr(3), windows});
  cases.push_back({std::string(kLinks) + "\\Documents link", documents, "Vantorel"});
  Installation installed = InstalledApp("VT Refused");
  installed.withRecord = false;
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.folder);
    installed.folder = c.folder;
    const std::string logPath = c.folder + (c.folder.back() == '\\' ? "" : "\\") + "Uninst.log";
    ASSERT_TRUE(WriteBytes(logPath, testpkg::ToBytes(installed.LogText())));
    SetText(UninstallKey("VT Refused"), "UninstallString", InstalledUninstaller() + " " + logPath);
    const std::set<std::string> before = NamesIn(c.canonical);
    robot::Program uninstaller = StartUninstaller(logPath);
    HWND box = robot::WaitForMessageBox(uninstaller.Id(), 20000);
    ASSERT_NE(box, nullptr);
    robot::MessageBoxContent shown = robot::ReadMessageBox(box);
    robot::AnswerMessageBox(box, IDOK);
    EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);
    EXPECT_EQ(Lower(shown.text),
              Lower("The uninstall log lies in '" + c.canonical +
                    "', which is not a folder of the application's own. Nothing was removed."));
    shown.text = "";
    EXPECT_EQ(shown, Failure(c.caption, ""));
    EXPECT_EQ(NamesIn(c.canonical), before);
    RemovePath(logPath);
  }
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey("VT Refused").c_str());
}

// Version 1 installs a, b, c and a shared library, version 2 a, b and the
// library: the record keeps all three files and both raises, and the
// uninstall removes a, b, c and the folder and gives the library's count
// back as it was before version 1.
TEST(Uninstaller, UpgradeForgetsNothing) {
  const std::string appName = "VT Upgrade";
  Installation installed = InstalledApp(appName);
  installed.shortcuts = AllLinks(appName);
  Clean(installed);
  MakeSharedDllsKey();
  const std::string library = CommonFilesDirectory() + "\\VT Upgrade\\vtshared.dll";
  RemovePath(CommonFilesDirectory() + "\\VT Upgrade");
  ASSERT_TRUE(MakeFolders(CommonFilesDirectory() + "\\VT Upgrade"));
  ASSERT_TRUE(WriteBytes(library, testpkg::ToBytes("another program's copy")));
  SetCount(library, 3);
  EXPECT_EQ(Digest("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  const std::string head = "Vantorel install record 1\nVT Upgrade\nfolder .\n";
  const struct {
    std::vector<std::string> files;
    std::string record;
  } versions[] = {
      {{"a.exe", "b.dat", "c.dat"},
       head + "file a.exe\nfile b.dat\nfile c.dat\nshared 1 " + library + "\n"},
      {{"a.exe", "b.dat"}, head + "file a.exe\nfile b.dat\nfile c.dat\nshared 2 " + library + "\n"},
  };
  for (const auto& version : versions) {
    testpkg::TestPackage package = PackageWithoutPages(appName);
    package.checkProgramNotRunning = 0;
    for (const std::string& name : version.files) AddFile(package, name, testpkg::ToBytes(name));
    testpkg::TestFile& shared =
        AddFile(package, "vtshared.dll", testpkg::ToBytes("shared"), "VT Upgrade\\");
    shared.destinationType = 5;  // common files
    shared.sharedDll = 1;
    SetupRun run = RunSetupToEnd(
        WriteSetup("upgrade", SetupFileAround(testpkg::BuildPackage(package))), appName + " Setup");
    ASSERT_TRUE(run.finishDialog);
    const std::string record = Text(ReadBytes(installed.RecordPath()));
    EXPECT_EQ(record, version.record);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(appName), "InstallRecordSHA256"),
              Digest(record));
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(appName), "UninstallLogSHA256"),
              Digest(Text(ReadBytes(installed.LogPath()))));
  }
  ASSERT_EQ(CountOf(library), 5);

  auto command = RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(appName), "UninstallString");
  ASSERT_TRUE(command.has_value());
  robot::Program uninstaller = robot::StartCommandLine(*command);
  ExpectBox(uninstaller, Confirmation(appName), IDYES);
  ExpectBox(uninstaller, Removed(appName), IDOK);
  EXPECT_EQ(robot::WaitForExit(uninstaller), 0u);
  EXPECT_FALSE(Exists(installed.folder));
  EXPECT_EQ(CountOf(library), 3);
  EXPECT_TRUE(Exists(library));
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, library.c_str());
  RemovePath(CommonFilesDirectory() + "\\VT Upgrade");
  Clean(installed);
}

// A setup of the application with the destination page, its files in
// `files` and one shared library in the common-files folder.
testpkg::TestPackage MovingPackage(const std::vector<std::string>& files) {
  testpkg::TestPackage package = wizardtest::WizardPackage("VT Moved", {false, false, true, false});
  package.checkProgramNotRunning = 0;
  for (const std::string& name : files) AddFile(package, name, testpkg::ToBytes(name));
  testpkg::TestFile& shared =
      AddFile(package, "vtmoved.dll", testpkg::ToBytes("shared"), "VT Moved\\");
  shared.destinationType = 5;  // common files
  shared.sharedDll = 1;
  return package;
}

// Installs `package` into `folder` through the destination page; `box`, when
// given, is the text of the one message the install shows, answered OK.
void InstallInto(const testpkg::TestPackage& package, const std::string& folder,
                 const std::string& box = "") {
  robot::Program setup = wizardtest::StartWizardSetup("moved", package);
  HWND sheet = wizardtest::WaitForSheet(setup);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(wizardtest::Settle(sheet));
  ASSERT_TRUE(robot::SetText(robot::ChildById(sheet, wizardtest::kDestinationEdit), folder));
  ASSERT_TRUE(robot::Click(robot::ChildById(sheet, wizardtest::kFinish)));
  if (!box.empty()) {
    auto shown = AnswerNextBox(setup, IDOK);
    ASSERT_TRUE(shown.has_value()) << "no box: " << box;
    EXPECT_EQ(*shown, Failure("VT Moved Setup", box));
  }
  HWND finish = WaitForFinishDialog(setup, "VT Moved Setup");
  ASSERT_NE(finish, nullptr) << "no finish dialog";
  robot::Click(robot::ChildById(finish, IDC_FINISH));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
}

const char kMovedRoot[] = "C:\\VT Moved";
const std::string kFirst = std::string(kMovedRoot) + "\\First";
const std::string kSecond = std::string(kMovedRoot) + "\\Second";

std::string MovedLibrary() { return CommonFilesDirectory() + "\\VT Moved\\vtmoved.dll"; }

void ForgetMoved() {
  MakeSharedDllsKey();
  RemovePath(kMovedRoot);
  RemovePath(CommonFilesDirectory() + "\\VT Moved");
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, MovedLibrary().c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey("VT Moved").c_str());
  RegDeleteTreeA(HKEY_CURRENT_USER, wizardtest::kRecordKey);
}

// Runs the entry's uninstall: `left` the closing message's lines (none:
// removed), `libraryGoes` when its shared library's count reaches 0.
void UninstallMoved(const std::vector<std::string>& left, bool libraryGoes) {
  auto command = RegistryText(HKEY_LOCAL_MACHINE, UninstallKey("VT Moved"), "UninstallString");
  ASSERT_TRUE(command.has_value());
  robot::Program uninstaller = robot::StartCommandLine(*command);
  ExpectBox(uninstaller, Confirmation("VT Moved"), IDYES);
  if (libraryGoes) ExpectBox(uninstaller, SharedQuestion("VT Moved", MovedLibrary()), IDYES);
  if (left.empty()) {
    ExpectBox(uninstaller, Removed("VT Moved"), IDOK);
  } else {
    ExpectLeft(uninstaller, "VT Moved", left);
  }
  EXPECT_EQ(robot::WaitForExit(uninstaller), left.empty() ? 0u : 1u);
  EXPECT_EQ(Exists(MovedLibrary()), !libraryGoes);
}

// Installed again in another folder, the application's record names the
// earlier install with the digest of its record, and one uninstall removes
// both; installed in the first folder again (A, B, A), the first record is
// merged into the new one.
TEST(Uninstaller, ReinstallingElsewhereOrphansNothing) {
  ForgetMoved();
  InstallInto(MovingPackage({"a.exe", "b.dat"}), kFirst);
  const std::string firstRecord = Text(ReadBytes(kFirst + "\\Uninst.rec"));
  InstallInto(MovingPackage({"a.exe"}), kSecond);
  EXPECT_NE(Text(ReadBytes(kSecond + "\\Uninst.rec"))
                .find("\nearlier " + Digest(firstRecord) + " " + kFirst + "\n"),
            std::string::npos);
  EXPECT_TRUE(Exists(kFirst + "\\b.dat"));
  InstallInto(MovingPackage({"a.exe"}), kFirst);
  EXPECT_EQ(CountOf(MovedLibrary()), 3);
  UninstallMoved({}, true);
  EXPECT_FALSE(Exists(kFirst));
  EXPECT_FALSE(Exists(kSecond));
  EXPECT_EQ(CountOf(MovedLibrary()), -1);
  ForgetMoved();
}

// An earlier install whose folder is gone (a user renamed it away) is
// named, and the application stays listed, with what is left to remove,
// until an uninstall finds it back.
TEST(Uninstaller, AnEarlierInstallThatIsGoneStaysListed) {
  ForgetMoved();
  InstallInto(MovingPackage({"a.exe", "b.dat"}), kFirst);
  InstallInto(MovingPackage({"a.exe"}), kSecond);
  ASSERT_TRUE(MoveFileA(kFirst.c_str(), (kFirst + " away").c_str()));
  UninstallMoved({"'" + kFirst +
                  "', where the application was installed before, is not there. The "
                  "application stays in the list of installed programs: uninstall it again "
                  "once the folder is back."},
                 false);
  EXPECT_EQ(CountOf(MovedLibrary()), 1);
  ASSERT_TRUE(MoveFileA((kFirst + " away").c_str(), kFirst.c_str()));
  UninstallMoved({}, true);
  EXPECT_FALSE(Exists(kFirst));
  EXPECT_FALSE(Exists(kSecond));
  EXPECT_FALSE(HasUninstallEntry("VT Moved"));
  ForgetMoved();
}

// One byte of the earlier record changed: setup refuses the folder rather
// than write over what names the earlier install's files.
TEST(Uninstaller, AChangedRecordIsNotWrittenOver) {
  ForgetMoved();
  InstallInto(MovingPackage({"a.exe", "b.dat"}), kFirst);
  std::string changed = Text(ReadBytes(kFirst + "\\Uninst.rec"));
  changed[changed.find("b.dat")] = 'B';
  ASSERT_TRUE(WriteBytes(kFirst + "\\Uninst.rec", testpkg::ToBytes(changed)));
  const std::string setup =
      WriteSetup("moved again", SetupFileAround(testpkg::BuildPackage(MovingPackage({"a.exe"}))));
  const std::string runLog = std::string(kMovedRoot) + "\\changed-record.log";
  EXPECT_EQ(RunUnseen("\"" + setup + "\" /S \"/LOG=" + runLog + "\" /D=" + kFirst).exitCode, 1u);
  EXPECT_EQ(Text(ReadBytes(kFirst + "\\Uninst.rec")), changed);
  EXPECT_NE(Text(ReadBytes(runLog))
                .find("Message 31: The install record in '" + kFirst + "' was changed"),
            std::string::npos);
  ForgetMoved();
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
  Clean(installed);
  Lay(installed);
  const std::vector<std::string> paths = {installed.folder, installed.shortcuts[0]};
  const auto before = StateOf(paths, {UninstallKey("VT Declined")});

  robot::Program declined = StartUninstaller(installed.LogPath());
  ExpectBox(declined, Confirmation("VT Declined"), IDNO);
  EXPECT_EQ(robot::WaitForExit(declined), 1u);
  EXPECT_EQ(StateOf(paths, {UninstallKey("VT Declined")}), before);

  // The application's window, here in this process.
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "VTUninstallTestWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA("VTUninstallTestWindow", "VT Declined", WS_OVERLAPPED, 0, 0, 100, 100,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  robot::Program cancelled = StartUninstaller(installed.LogPath());
  ExpectBox(cancelled, Confirmation("VT Declined"), IDYES);
  HWND running = robot::WaitForMessageBox(cancelled.Id(), 20000);
  ASSERT_NE(running, nullptr);
  robot::AnswerMessageBox(running, IDCANCEL);
  robot::WaitForWindowToClose(running);
  EXPECT_EQ(robot::WaitForExit(cancelled), 1u);
  DestroyWindow(window);
  EXPECT_EQ(StateOf(paths, {UninstallKey("VT Declined")}), before);
  Clean(installed);
}

struct SharedCase {
  const char* what;
  std::string path;
  long countBefore;  // -1: no count
  DWORD type;        // of the count
  int raises;        // as the record holds them
  int answer;        // to the question whether to remove it; 0: no question
  long countAfter;
  bool fileStays;
};

// Each shared file gives back the raises the record holds, never more than
// its count. At 0 the count goes and the user decides about the file
// (Windows' convention); a file still counted, declined, without a count,
// that a program keeps from being moved or that is the shared uninstaller
// stays. What stays in the application's folder keeps the folder.
TEST(Uninstaller, SharedFilesGiveBackTheirCounts) {
  PlaceUninstaller();
  MakeSharedDllsKey();
  PendingOperationsGuard pending;
  const std::string shared = ScratchFolder("shared files");
  Installation installed = InstalledApp("VT Shared");
  installed.files = {"app.exe", "own.dll"};
  const SharedCase cases[] = {
      {"still used elsewhere", shared + "\\used.dll", 3, REG_DWORD, 1, 0, 2, true},
      {"counted in 4 bytes of another type", shared + "\\binary.dll", 3, REG_BINARY, 1, 0, 2, true},
      {"raised by two installs", shared + "\\twice.dll", 3, REG_DWORD, 2, 0, 1, true},
      {"raised more often than counted", shared + "\\over.dll", 1, REG_DWORD, 3, IDYES, -1, false},
      {"no longer used, kept", shared + "\\kept.dll", 1, REG_DWORD, 1, IDNO, -1, true},
      {"no count", shared + "\\uncounted.dll", -1, REG_DWORD, 1, 0, -1, true},
      {"in use, not to be moved", shared + "\\in use.dll", 1, REG_DWORD, 1, 0, -1, true},
      {"in the application's folder, still used", installed.folder + "\\own.dll", 2, REG_DWORD, 1,
       0, 1, true},
      {"the shared uninstaller", InstalledUninstaller(), 1, REG_DWORD, 1, 0, -1, true},
  };
  Clean(installed);
  for (const SharedCase& c : cases) {
    installed.sharedFiles.push_back(c.path);
    installed.raises[c.path] = c.raises;
    if (c.path.find(shared) == 0) WriteBytes(c.path, testpkg::ToBytes("shared"));
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, c.path.c_str());
    if (c.countBefore >= 0) SetCount(c.path, static_cast<DWORD>(c.countBefore), c.type);
  }
  Lay(installed);
  FileInUse inUse(shared + "\\in use.dll");
  ASSERT_TRUE(inUse.Open());

  robot::Program uninstaller = StartUninstaller(installed.LogPath());
  ExpectBox(uninstaller, Confirmation("VT Shared"), IDYES);
  // The record lists the shared files by path.
  std::vector<const SharedCase*> asked;
  for (const SharedCase& c : cases) {
    if (c.answer != 0) asked.push_back(&c);
  }
  std::sort(asked.begin(), asked.end(),
            [](const SharedCase* a, const SharedCase* b) { return a->path < b->path; });
  for (const SharedCase* c : asked) {
    SCOPED_TRACE(c->what);
    ExpectBox(uninstaller, SharedQuestion("VT Shared", c->path), c->answer,
              c->answer == IDNO ? "uninstaller_shared_file" : "");
  }
  ExpectLeft(
      uninstaller, "VT Shared",
      {"The shared file '" + shared + "\\uncounted.dll' has no usage count and was left in place.",
       InUse(shared + "\\in use.dll"),
       "The folder '" + installed.folder +
           "' was left in place: it holds shared files that were kept."},
      "uninstaller_left_items");
  EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);

  for (const SharedCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CountOf(c.path), c.countAfter);
    EXPECT_EQ(Exists(c.path), c.fileStays);
  }
  EXPECT_FALSE(Exists(installed.folder + "\\app.exe"));
  EXPECT_FALSE(Exists(installed.LogPath()));
  EXPECT_FALSE(HasUninstallEntry("VT Shared"));
  EXPECT_EQ(PendingDeletions(), std::vector<std::string>{});
  for (const SharedCase& c : cases)
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, c.path.c_str());
  Clean(installed);
}

// Recorded files go, read-only ones too. A file a program runs (Windows
// lets it be renamed, not deleted) is moved into the uninstaller's folder
// under Windows and goes from there at the next start, so that no name a
// user can change is ever acted on then; one that a program keeps from
// being moved stays, with its folder, and is named. A file with other
// names (hard links) loses only its own, and the attributes of the file
// behind them stay as they are.
TEST(Uninstaller, FilesThatCannotGoAtOnce) {
  PlaceUninstaller();
  PendingOperationsGuard pending;
  const std::string waiting = WindowsDirectory() + "\\VTUnInst Pending";
  RemovePath(waiting);
  Installation installed = InstalledApp("VT In Use");
  installed.folders = {".", "Data", "Data\\Deeper"};
  installed.files = {"app.exe",
                     "read-only.dat",
                     "Data\\other.dat",
                     "Data\\held.dat",
                     "Data\\Deeper\\running.dll",
                     "linked.dat",
                     "linked read-only.dat"};
  Clean(installed);
  Lay(installed);
  const std::string in = installed.folder + "\\";
  SetFileAttributesA((in + "read-only.dat").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(CopyFileA((SystemDirectory() + "\\msimg32.dll").c_str(),
                        (in + "Data\\Deeper\\running.dll").c_str(), FALSE));
  HMODULE running = LoadLibraryA((in + "Data\\Deeper\\running.dll").c_str());
  ASSERT_NE(running, nullptr);
  FileInUse held(in + "Data\\held.dat");
  ASSERT_TRUE(held.Open());
  const std::string outside = ScratchFolder("other names");
  for (const char* name : {"linked.dat", "linked read-only.dat"}) {
    ASSERT_TRUE(WriteBytes(outside + "\\" + name, testpkg::ToBytes("the file's bytes")));
    RemovePath(in + name);
    ASSERT_TRUE(CreateHardLinkA((in + name).c_str(), (outside + "\\" + name).c_str(), nullptr));
  }
  SetFileAttributesA((outside + "\\linked read-only.dat").c_str(), FILE_ATTRIBUTE_READONLY);
  const auto outsideBefore = StateOf({outside}, {});

  robot::Program uninstaller = StartUninstaller(installed.LogPath());
  ExpectBox(uninstaller, Confirmation("VT In Use"), IDYES);
  ExpectLeft(
      uninstaller, "VT In Use",
      {"'" + in + "Data\\Deeper\\running.dll' is in use: it will be removed when Windows restarts.",
       InUse(in + "Data\\held.dat"),
       "Only the name '" + in +
           "linked.dat' was removed: the file has other names (hard "
           "links), which keep it.",
       "'" + in +
           "linked read-only.dat' was left in place: it is read-only, and has "
           "other names (hard links) whose file would change with it."});
  EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);

  for (const char* gone : {"read-only.dat", "Data\\other.dat", "Data\\Deeper", "linked.dat"}) {
    EXPECT_FALSE(Exists(in + gone)) << gone;
  }
  EXPECT_TRUE(Exists(in + "Data\\held.dat"));
  EXPECT_TRUE(Exists(in + "linked read-only.dat"));
  EXPECT_EQ(StateOf({outside}, {}), outsideBefore);
  EXPECT_EQ(
      GetFileAttributesA((outside + "\\linked read-only.dat").c_str()) & FILE_ATTRIBUTE_READONLY,
      static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(HasUninstallEntry("VT In Use"));
  // The running file waits in the uninstaller's folder, and the folder
  // after it.
  const std::vector<std::string> deletions = PendingDeletions();
  ASSERT_EQ(deletions.size(), 2u);
  EXPECT_EQ(deletions[0].substr(0, waiting.size() + 1), waiting + "\\");
  EXPECT_EQ(deletions[0].substr(deletions[0].size() - 12), " running.dll");
  EXPECT_TRUE(Exists(deletions[0]));
  EXPECT_EQ(deletions[1], waiting);
  FreeLibrary(running);
  SetFileAttributesA((in + "linked read-only.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
  RemovePath(waiting);
  Clean(installed);
}

// "/S": no window; the removal counts as confirmed, a shared file no program
// counts any more is kept (its count goes), the exit code tells the rest,
// and "/LOG=" holds the words of every message.
TEST(Uninstaller, SilentRemovalAnswersForTheUser) {
  PlaceUninstaller();
  PendingOperationsGuard pending;
  MakeSharedDllsKey();
  const std::string runLog = ScratchFolder("silent-uninstall") + "\\run.log";
  Installation installed = InstalledApp("VT Silent");
  installed.files = {"app.exe", "running.dll"};
  installed.shortcuts = {DesktopLink("VT Silent")};
  const std::string shared = CommonFilesDirectory() + "\\VT Silent Shared\\shared.dll";
  installed.sharedFiles = {shared};
  const std::string running = installed.folder + "\\running.dll";
  Installation changed = installed;
  changed.shortcuts.clear();
  const struct {
    const char* what;
    bool logChanged, dllRunning;
    DWORD exitCode;
    std::string line;
  } cases[] = {
      {"removed", false, false, 0,
       "Message 107 (No): No program uses the shared file '" + shared + "' any more."},
      {"a file in use", false, true, 3010,
       "'" + running + "' is in use: it will be removed when Windows restarts."},
      {"a changed log", true, false, 1,
       "Message 120: The uninstall log '" + installed.LogPath() +
           "' is not as setup wrote it: it was changed since. Nothing was removed."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Clean(installed);
    MakeFolders(shared.substr(0, shared.rfind('\\')));
    ASSERT_TRUE(WriteBytes(shared, testpkg::ToBytes("shared")));
    SetCount(shared, 1);
    Lay(installed, c.logChanged ? changed.LogText() : "");
    HMODULE module = nullptr;
    if (c.dllRunning) {
      ASSERT_TRUE(CopyFileA((SystemDirectory() + "\\msimg32.dll").c_str(), running.c_str(), FALSE));
      module = LoadLibraryA(running.c_str());
      ASSERT_NE(module, nullptr);
    }

    UnseenRun run = RunUnseen("\"" + InstalledUninstaller() + "\" /S \"/LOG=" + runLog + "\" \"" +
                              installed.LogPath() + "\"");
    ASSERT_FALSE(run.windowSeen);
    EXPECT_EQ(run.exitCode, c.exitCode);
    const std::string log = Text(ReadBytes(runLog));
    EXPECT_NE(log.find(c.line), std::string::npos) << log;
    EXPECT_EQ(HasUninstallEntry("VT Silent"), c.logChanged);
    EXPECT_EQ(CountOf(shared), c.logChanged ? 1 : -1);
    EXPECT_TRUE(Exists(shared));
    if (module != nullptr) FreeLibrary(module);
  }
  RemovePath(WindowsDirectory() + "\\VTUnInst Pending");
  RemovePath(shared.substr(0, shared.rfind('\\')));
  Clean(installed);
}

// The closing message lists ten items and counts the others, so that it
// still fits the screen.
TEST(Uninstaller, ClosingMessageListsTenItemsAndCountsTheRest) {
  PlaceUninstaller();
  Installation installed = InstalledApp("VT Many");
  installed.files = {"app.exe"};
  Clean(installed);
  Lay(installed);
  std::vector<std::string> lines;
  for (int i = 1; i <= 12; ++i) {
    const std::string made = installed.folder + "\\made " + std::to_string(i) + ".txt";
    ASSERT_TRUE(WriteBytes(made, testpkg::ToBytes("made by the program")));
    lines.push_back(NotInstalled(made));
  }
  robot::Program uninstaller = StartUninstaller(installed.LogPath());
  ExpectBox(uninstaller, Confirmation("VT Many"), IDYES);
  ExpectLeft(uninstaller, "VT Many", lines);
  EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);
  EXPECT_EQ(NamesIn(installed.folder).size(), 2u + 12u);  // ".", ".." and the files made
  Clean(installed);
}

// A log that another setup program wrote (its entry keeps no digests)
// vouches for nothing: only its entry goes; its links, its counts and the
// folder stay. A line repeated in it is damage all the same.
TEST(Uninstaller, ALogWithoutRecordLeavesTheFolder) {
  PlaceUninstaller();
  MakeSharedDllsKey();
  const std::string shared = ScratchFolder("without record") + "\\shared.dll";
  ASSERT_TRUE(WriteBytes(shared, testpkg::ToBytes("shared")));
  SetCount(shared, 3);
  Installation installed = InstalledApp("VT Foreign");
  installed.withRecord = false;
  installed.files = {"app.exe"};
  installed.shortcuts = {DesktopLink("VT Foreign")};
  installed.sharedFiles = {shared, shared};
  Clean(installed);
  Lay(installed);
  robot::Program repeated = StartUninstaller(installed.LogPath());
  ExpectBox(repeated,
            Failure("Vantorel", "The uninstall log '" + installed.LogPath() +
                                    "' is damaged (line 7). Nothing was removed."),
            IDOK);
  EXPECT_EQ(robot::WaitForExit(repeated), 1u);
  EXPECT_EQ(CountOf(shared), 3);
  installed.sharedFiles = {shared};
  Lay(installed);
  robot::Program uninstaller = StartUninstaller(installed.LogPath());
  ExpectBox(uninstaller, Confirmation("VT Foreign"), IDYES);
  ExpectLeft(uninstaller, "VT Foreign",
             {"The folder '" + installed.folder +
              "' was left in place, and so were the shortcuts and shared-file counts its "
              "uninstall log lists: setup kept no record of what it installed there."});
  EXPECT_EQ(robot::WaitForExit(uninstaller), 1u);
  EXPECT_TRUE(Exists(installed.shortcuts[0]));
  EXPECT_EQ(CountOf(shared), 3);
  EXPECT_TRUE(Exists(installed.folder + "\\app.exe"));
  EXPECT_TRUE(Exists(installed.LogPath()));
  EXPECT_FALSE(HasUninstallEntry("VT Foreign"));
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, shared.c_str());
  Clean(installed);
}

}  // namespace
