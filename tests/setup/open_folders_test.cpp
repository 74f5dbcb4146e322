// Setup run by an administrator (every Wine program is one) leaves nothing
// that other users can change, and acts on nothing by name that they could
// have swapped. Wine keeps no entry a program sets: it makes a folder's
// entries from its Unix mode, so "every user can change it" is played by
// mode o+w (an Everyone entry with modify rights), and a folder given
// Program Files' entries (made with them, or secured) has no Everyone
// entry at all; one made as usual has Everyone read and execute
// (../../docs/install-record.md).
#include <windows.h>
#include <aclapi.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

const char kAppName[] = "VT Open Folders";
const char kOpen[] = "C:\\VT Open";  // every user may change it
const DWORD kReadExecute = 0x1200a9, kModify = 0x1301ff;
std::string Text(const std::optional<Bytes>& bytes) {
  return bytes ? std::string(bytes->begin(), bytes->end()) : "(missing)";
}

// The rights of the Everyone entry of the folder's list; 0 without one.
DWORD EveryoneRights(const std::string& path) {
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS) {
    return ~0u;
  }
  BYTE everyone[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof everyone;
  CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size);
  DWORD rights = 0;
  for (DWORD i = 0; list != nullptr && i < list->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* entry = nullptr;
    if (GetAce(list, i, reinterpret_cast<void**>(&entry)) &&
        entry->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(&entry->SidStart, everyone)) {
      rights |= entry->Mask;
    }
  }
  LocalFree(descriptor);
  return rights;
}

// The program and a DLL in "lib" that may wait for a restart (`libFirst`:
// the other way round).
std::string OpenFoldersSetup(bool libFirst = false) {
  testpkg::TestPackage package = PackageWithoutPages(kAppName);
  package.checkProgramNotRunning = 0;
  if (!libFirst) AddFile(package, "app.exe", testpkg::ToBytes("the program"));
  AddFile(package, "helper.dll", testpkg::ToBytes("the helper"), "lib\\").replaceIfInUse = 1;
  if (libFirst) AddFile(package, "app.exe", testpkg::ToBytes("the program"));
  return WriteSetup("open folders", SetupFileAround(testpkg::BuildPackage(package)));
}

struct SilentRun {
  std::optional<DWORD> exitCode;
  std::string log;
};

SilentRun InstallSilently(const std::string& setup, const std::string& destination,
                          const std::string& log = "") {
  const std::string logPath = log.empty() ? ScratchFolder("open folders log") + "\\run.log" : log;
  const UnseenRun run =
      RunUnseen("\"" + setup + "\" /S \"/LOG=" + logPath + "\" /D=" + destination);
  return {run.exitCode, Text(ReadBytes(logPath))};
}

void Forget(const std::string& destination) {
  RunLinuxShell("rm -rf \"$1\"", {destination});
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey(kAppName).c_str());
}

class OpenFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RunLinuxShell("rm -rf \"$1\" && mkdir \"$1\" && chmod 777 \"$1\"", {kOpen}));
  }
  void TearDown() override { Forget(kOpen); }
};

// The folders setup makes are admin-only unless Program Files' entries
// already make them so; an existing one that others can change is secured
// when it is empty or holds only the application's earlier install, and
// refused otherwise, before anything is written. The folder above stays as
// it was.
TEST_F(OpenFolders, TheDestinationEndsAdminOnlyOrIsRefused) {
  const std::string open(kOpen);
  const std::string refusal = "Message 27: Other users can change '" + open +
                              "\\Foreign', and it holds files of others. Choose another folder.";
  const struct {
    const char* what;
    std::string destination;
    bool installedBefore;
    const char* before;  // run with the destination as $1
    DWORD exitCode;
    DWORD everyone;  // afterwards
    std::string line;
  } rows[] = {
      {"new, below a folder others can change", open + "\\New", false, ":", 0, 0, ""},
      {"new, below Program Files", DefaultDestination(kAppName), false, ":", 0, kReadExecute, ""},
      {"existing, empty, open to others", open + "\\Empty", false,
       "mkdir \"$1\" && chmod 777 \"$1\"", 0, 0, ""},
      {"existing, with this application, open to others", open + "\\Again", true,
       "chmod 777 \"$1\"", 0, 0, ""},
      {"existing, with another's file, open to others", open + "\\Foreign", false,
       "mkdir \"$1\" && echo x >\"$1/other.dll\" && chmod 777 \"$1\"", 1, kModify, refusal},
  };
  const std::string setup = OpenFoldersSetup();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Forget(row.destination);
    if (row.installedBefore) {
      ASSERT_EQ(InstallSilently(setup, row.destination).exitCode, 0u);
    }
    ASSERT_TRUE(RunLinuxShell(row.before, {row.destination}));
    const SilentRun run = InstallSilently(setup, row.destination);
    EXPECT_EQ(run.exitCode, row.exitCode) << run.log;
    EXPECT_EQ(EveryoneRights(row.destination), row.everyone);
    EXPECT_EQ(Exists(row.destination + "\\Uninst.log"), row.exitCode == 0);
    if (!row.line.empty()) {
      EXPECT_NE(run.log.find(row.line), std::string::npos) << run.log;
    }
    Forget(row.destination);
  }
  EXPECT_EQ(EveryoneRights(open), kModify);
}

// Windows carries out a restart-time replacement by the path after setup
// has ended: below a folder others can change, setup names the program
// using the file and asks to close it instead (silent: exit code 1).
TEST_F(OpenFolders, NoReplacementWaitsForARestartBelowAFolderOthersCanChange) {
  PendingOperationsGuard pending;
  const std::string destination = std::string(kOpen) + "\\In Use";
  const std::string setup = OpenFoldersSetup();
  ASSERT_EQ(InstallSilently(setup, destination).exitCode, 0u);
  const std::string helper = destination + "\\lib\\helper.dll";
  FileInUse used(helper);
  const SilentRun run = InstallSilently(setup, destination);
  EXPECT_EQ(run.exitCode, 1u) << run.log;
  EXPECT_NE(run.log.find("Message 32 (Cancel): '" + helper + "' is in use by a program."),
            std::string::npos)
      << run.log;
  for (const std::string& name : support::RegistryTexts(
           HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
           "PendingFileRenameOperations")) {
    EXPECT_EQ(name.find("helper.dll"), std::string::npos) << name;
  }
}

// Runs `setup` (into `destination`, or its default) with its progress
// dialog up to its first message box, does `whileAsked` with the box's
// text while it is up, answers `answer`, then runs setup to its end.
SetupRun RunAnswering(const std::string& setup, const std::string& destination, int answer,
                      const std::function<void(const std::string&)>& whileAsked) {
  robot::Program program = robot::StartCommandLine(
      "\"" + setup + "\"" + (destination.empty() ? "" : " /D=" + destination));
  HWND box = robot::WaitForMessageBox(program.Id(), 20000);
  EXPECT_NE(box, nullptr);
  whileAsked(box ? robot::ReadMessageBox(box).text : "(no box)");
  robot::AnswerMessageBox(box, answer);
  robot::WaitForWindowToClose(box);
  return FinishSetupRun(program, std::string(kAppName) + " Setup");
}

// A staging file stays open from its writing until it is in place: no user
// changes the bytes that land (here: written while setup asks to close the
// program that uses the next file). An undo (here: a file held so that its
// new copy cannot be put in place) removes only what the run made, through
// handles, while a link swapped in for a folder it made leads elsewhere.
TEST_F(OpenFolders, StagingFilesAreHeldAndTheUndoFollowsNoLink) {
  const std::string again = std::string(kOpen) + "\\Staging";
  ASSERT_EQ(InstallSilently(OpenFoldersSetup(), again).exitCode, 0u);
  ASSERT_TRUE(WriteBytes(again + "\\app.exe", testpkg::ToBytes("installed before")));
  auto used = std::make_unique<FileInUse>(again + "\\lib\\helper.dll");
  int planted = 0;
  EXPECT_TRUE(RunAnswering(OpenFoldersSetup(), again, IDRETRY, [&](const std::string& asked) {
                EXPECT_NE(asked.find("helper.dll' is in use"), std::string::npos) << asked;
                WIN32_FIND_DATAA found;
                HANDLE search = FindFirstFileA((again + "\\~vt*.tmp").c_str(), &found);
                for (bool more = search != INVALID_HANDLE_VALUE; more;
                     more = FindNextFileA(search, &found)) {
                  planted +=
                      WriteBytes(again + "\\" + found.cFileName, testpkg::ToBytes("planted"));
                }
                if (search != INVALID_HANDLE_VALUE) FindClose(search);
                used.reset();
              }).finishDialog);
  EXPECT_EQ(planted, 0) << "a staging file could be written";
  EXPECT_EQ(Text(ReadBytes(again + "\\app.exe")), "the program");

  const std::string destination = DefaultDestination(kAppName);
  const std::string outside = ScratchFolder("open folders outside");
  ASSERT_TRUE(WriteBytes(outside + "\\helper.dll", testpkg::ToBytes("another program's")));
  Forget(destination);
  ASSERT_TRUE(MakeFolders(destination));
  ASSERT_TRUE(WriteBytes(destination + "\\app.exe", testpkg::ToBytes("installed before")));
  // Read and written meanwhile, never renamed: the new copy cannot go in,
  // and setup says so before it undoes the run.
  HANDLE held = CreateFileA((destination + "\\app.exe").c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  RunAnswering(OpenFoldersSetup(true), "", IDOK, [&](const std::string& asked) {
    EXPECT_EQ(asked, "Unable to open the file '" + destination + "\\app.exe'.");
    EXPECT_TRUE(RunLinuxShell("mv \"$1/lib\" \"$1/lib.moved\" && ln -s \"$2\" \"$1/lib\"",
                              {destination, outside}));
  });
  CloseHandle(held);
  EXPECT_EQ(Text(ReadBytes(outside + "\\helper.dll")), "another program's");
  EXPECT_EQ(Text(ReadBytes(destination + "\\app.exe")), "installed before");
  Forget(destination);
}

// "/LOG=" never writes through a link or into a file another name shares.
TEST_F(OpenFolders, TheRunLogIsWrittenThroughNoLink) {
  const std::string folder = ScratchFolder("open folders links");
  const std::string outside = ScratchFolder("open folders config");
  for (const char* name : {"linked.ini", "named.ini"}) {
    ASSERT_TRUE(WriteBytes(outside + "\\" + name, testpkg::ToBytes("another program's settings")));
  }
  // Made again on every run: a scratch folder keeps an earlier run's links.
  ASSERT_TRUE(RunLinuxShell("ln -sf \"$2/linked.ini\" \"$1/symbolic.log\"", {folder, outside}));
  DeleteFileA((folder + "\\hard.log").c_str());
  ASSERT_TRUE(
      CreateHardLinkA((folder + "\\hard.log").c_str(), (outside + "\\named.ini").c_str(), nullptr));
  const std::string setup = OpenFoldersSetup();
  for (const char* log : {"symbolic.log", "hard.log"}) {
    SCOPED_TRACE(log);
    Forget(DefaultDestination(kAppName));
    InstallSilently(setup, DefaultDestination(kAppName), folder + "\\" + log);
  }
  for (const char* name : {"linked.ini", "named.ini"}) {
    EXPECT_EQ(Text(ReadBytes(outside + "\\" + name)), "another program's settings") << name;
  }
  Forget(DefaultDestination(kAppName));
}

}  // namespace
