// Files in use, self-registration and shared-DLL counts, as a user meets
// them: real setups installing the demo's self-registering library into
// this test's own copy of the prefix (tests/setup/run-in-own-prefix), where
// pending renames, the SharedDLLs key and RegSvr32 belong to it alone. The
// copy is restarted after the other tests; the AfterRestart tests then look
// at what the restart put in place. The branch for the Windows 95 family,
// which Wine never takes, and a count the registry refuses run in this
// process.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "base/messages.h"
#include "base/windows_version.h"
#include "engine/install_record.h"
#include "engine/install_target.h"
#include "setup_test_support.h"
#include "state/install_settings.h"

using namespace setuptest;
using namespace support;

namespace {

const char kAppName[] = "VT Files In Use";
const char kCaption[] = "VT Files In Use Setup";
const char kLibraryName[] = "vtdemoreg.dll";
const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
// Where the demo library records its registration (examples/demo).
const char kComponentKey[] = "Software\\Vantorel\\Demo\\Component";

std::string Destination() { return DefaultDestination(kAppName); }

// The demo library, and a later build of it: the same with bytes appended.
Bytes Library() { return *ReadBytes(robot::WindowsPathOf(VTDEMOREG_DLL)); }
Bytes NewerLibrary() {
  Bytes bytes = Library();
  Bytes tail = testpkg::ToBytes("a newer build");
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

// 2006-06-07 08:09, as the packer stores a file's time.
std::array<std::uint8_t, 44> RecordTime() {
  // second, minute, hour, day, month (0-11), year (since 1900), 4 bytes each
  const std::uint8_t fields[] = {0, 9, 8, 7, 5, 106};
  std::array<std::uint8_t, 44> image{};
  for (int i = 0; i < 6; ++i) image[8 + 4 * i] = fields[i];
  return image;
}
FILETIME RecordFileTime() {
  SYSTEMTIME time = {2006, 6, 0, 7, 8, 9, 0, 0};
  FILETIME result;
  SystemTimeToFileTime(&time, &result);
  return result;
}

struct Flags {
  std::uint32_t replaceIfInUse = 0, selfRegister = 0, sharedDll = 0;
};

testpkg::TestFile& AddFlaggedFile(testpkg::TestPackage& package, const std::string& name,
                                  const Bytes& contents, Flags flags) {
  testpkg::TestFile& file = AddFile(package, name, contents);
  file.timestamp = RecordTime();
  file.replaceIfInUse = flags.replaceIfInUse;
  file.selfRegister = flags.selfRegister;
  file.sharedDll = flags.sharedDll;
  return file;
}

std::string WritePackage(const std::string& folder, const testpkg::TestPackage& package) {
  return WriteSetup(folder, SetupFileAround(testpkg::BuildPackage(package)));
}

// ---- the machine's state ----

bool MakeSharedDllsKey() {
  HKEY key;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kSharedDlls, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::optional<DWORD> SharedCount(const std::string& path) {
  return RegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, path);
}

void SetSharedCount(const std::string& path, std::optional<DWORD> count, DWORD type = REG_DWORD) {
  WriteRegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, path, count, 0, type);
}

// The delayed moves recorded for files in `folder`: (from, to) pairs in
// their order, as Windows keeps them ("\\??\\" paths; an empty "to" deletes).
std::vector<std::pair<std::string, std::string>> PendingMovesIn(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> moves;
  const std::vector<std::string> texts =
      RegistryTexts(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
  for (std::size_t i = 0; i + 1 < texts.size(); i += 2) {
    if (texts[i].find(folder) != std::string::npos) moves.emplace_back(texts[i], texts[i + 1]);
  }
  return moves;
}

// The path the demo library last registered itself from; empty when it
// has not.
std::string RegisteredPath() {
  return RegistryText(HKEY_CURRENT_USER, kComponentKey, "Path").value_or("");
}

// RegSvr32 runs on its own after setup has started it.
std::string WaitForRegistration() {
  std::string path;
  robot::WaitUntil([&] { return !(path = RegisteredPath()).empty(); }, 20000);
  return path;
}

std::string OpenFailure(const std::string& path) {
  return "Unable to open the file '" + path + "'.";
}

std::vector<std::string> TextsOf(const SetupRun& run) {
  std::vector<std::string> texts;
  for (const auto& box : run.boxes) texts.push_back(box.text);
  return texts;
}

// ---- in use ----

struct InUseCase {
  const char* name;
  std::uint32_t replaceIfInUse;
  bool redirected;
};

const InUseCase kInUseCases[] = {
    {"replace-if-in-use 0: the install stops", 0, false},
    {"replace-if-in-use 1: replaced at the next start", 1, true},
};

// The case that is redirected leaves its library for the restart.
std::string InUseSubfolder(const InUseCase& c) {
  return "In Use " + std::to_string(c.replaceIfInUse);
}
std::string InUseFolder(const InUseCase& c) { return Destination() + "\\" + InUseSubfolder(c); }

TEST(FilesInUse, FileHeldOpenByAnotherProgram) {
  ASSERT_TRUE(MakeSharedDllsKey());
  for (const InUseCase& c : kInUseCases) {
    SCOPED_TRACE(c.name);
    const std::string folder = InUseFolder(c);
    const std::string target = folder + "\\" + kLibraryName;
    const std::string replacement = target + ".new";
    RemovePath(folder);
    ASSERT_TRUE(MakeFolders(folder));
    ASSERT_TRUE(WriteBytes(target, Library()));
    SetSharedCount(target, 3);
    RegDeleteTreeA(HKEY_CURRENT_USER, kComponentKey);
    // Held for reading only, as a running program holds its files.
    HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    testpkg::TestPackage package = PackageWithoutPages(kAppName);
    AddFlaggedFile(package, kLibraryName, NewerLibrary(), {c.replaceIfInUse, 1, 1}).subDirectory =
        InUseSubfolder(c) + "\\";
    SetupRun run = RunSetupToEnd(WritePackage("in-use", package), kCaption);
    CloseHandle(held);

    ASSERT_TRUE(run.started);
    EXPECT_EQ(*ReadBytes(target), Library()) << "the file in use was changed";
    const auto moves = PendingMovesIn(folder);
    if (!c.redirected) {
      EXPECT_EQ(TextsOf(run), std::vector<std::string>{OpenFailure(target)});
      EXPECT_EQ(run.exitCode, 1u);
      EXPECT_FALSE(Exists(replacement));
      EXPECT_TRUE(moves.empty());
      EXPECT_EQ(SharedCount(target), 3u);
      continue;
    }
    EXPECT_TRUE(run.boxes.empty()) << run.boxes.front();
    EXPECT_TRUE(run.restartDialog) << "no restart dialog";
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(ReadBytes(replacement), NewerLibrary());
    auto time = LastWriteTime(replacement);
    FILETIME expected = RecordFileTime();
    ASSERT_TRUE(time.has_value());
    EXPECT_EQ(CompareFileTime(&*time, &expected), 0) << Describe(*time);
    // First the file in use goes, then the new one takes its name.
    const std::vector<std::pair<std::string, std::string>> expectedMoves = {
        {"\\??\\" + target, ""}, {"\\??\\" + replacement, "\\??\\" + target}};
    EXPECT_EQ(moves, expectedMoves);
    // Registered and counted under the name it has after the restart.
    EXPECT_EQ(WaitForRegistration(), target);
    EXPECT_EQ(SharedCount(target), 4u);
    EXPECT_EQ(SharedCount(replacement), std::nullopt);
  }
}

// ---- self-registration ----

// Moves RegSvr32 out of the system directory while it exists.
class RegSvr32Hidden {
 public:
  RegSvr32Hidden() : program_(SystemDirectory() + "\\regsvr32.exe"), hidden_(program_ + ".hidden") {
    moved_ = MoveFileA(program_.c_str(), hidden_.c_str()) != 0;
  }
  ~RegSvr32Hidden() {
    if (moved_) MoveFileA(hidden_.c_str(), program_.c_str());
  }
  bool Moved() const { return moved_; }

 private:
  std::string program_, hidden_;
  bool moved_;
};

TEST(SelfRegistration, LibraryRegistersItselfOrTheFailureIsReported) {
  const std::string target = Destination() + "\\Registered\\" + kLibraryName;
  for (bool regsvr32Missing : {false, true}) {
    SCOPED_TRACE(regsvr32Missing ? "RegSvr32 missing" : "RegSvr32 there");
    RemovePath(Destination() + "\\Registered");
    RegDeleteTreeA(HKEY_CURRENT_USER, kComponentKey);
    testpkg::TestPackage package = PackageWithoutPages(kAppName);
    AddFlaggedFile(package, kLibraryName, Library(), {0, 1, 0}).subDirectory = "Registered\\";
    AddFile(package, "after.txt", testpkg::ToBytes("the install goes on"), "Registered\\");
    std::string setupPath = WritePackage("self-register", package);
    SetupRun run;
    {
      std::optional<RegSvr32Hidden> hidden;
      if (regsvr32Missing) {
        hidden.emplace();
        ASSERT_TRUE(hidden->Moved());
      }
      run = RunSetupToEnd(setupPath, kCaption);
    }
    EXPECT_TRUE(run.finishDialog);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(ReadBytes(target), Library());
    EXPECT_TRUE(Exists(Destination() + "\\Registered\\after.txt"));
    if (regsvr32Missing) {
      EXPECT_EQ(TextsOf(run),
                std::vector<std::string>{"Unable to register the file '" + target + "'."});
      EXPECT_EQ(RegisteredPath(), "");
    } else {
      EXPECT_TRUE(run.boxes.empty()) << run.boxes.front();
      EXPECT_EQ(WaitForRegistration(), target);
    }
  }
}

// ---- shared counts ----

// What the destination held before the install.
enum class Installed {
  kNothing,
  kUnversioned,  // a file without version: replaced
  kAsNew,        // the record's version already (2.0.0.0): kept
};

struct SharedCase {
  const char* name;
  bool keyExists;
  Installed installed;
  std::optional<DWORD> countBefore;
  std::optional<DWORD> countAfter;
  const char* message;     // null: none
  DWORD type = REG_DWORD;  // of the count before
};

const SharedCase kSharedCases[] = {
    {"new file, stale count", true, Installed::kNothing, 7, 1, nullptr},
    {"installed without a count", true, Installed::kUnversioned, std::nullopt, 2, nullptr},
    {"counted 5 times", true, Installed::kUnversioned, 5, 6, nullptr},
    {"counted 3 times in 4 bytes of another type", true, Installed::kUnversioned, 3, 4, nullptr,
     REG_BINARY},
    {"kept as new as the record: not counted again", true, Installed::kAsNew, 5, 5, nullptr},
    {"no SharedDLLs key", false, Installed::kUnversioned, std::nullopt, std::nullopt,
     "Unable to open registry key."},
};

TEST(SharedCounts, CountFollowsWhatWasThere) {
  const std::string target = Destination() + "\\Shared\\shared.dll";
  const Bytes versioned = *ReadBytes(InputFile("versioned.exe"));
  for (const SharedCase& c : kSharedCases) {
    SCOPED_TRACE(c.name);
    RemovePath(Destination() + "\\Shared");
    if (c.installed != Installed::kNothing) {
      ASSERT_TRUE(MakeFolders(Destination() + "\\Shared"));
      ASSERT_TRUE(WriteBytes(target, c.installed == Installed::kAsNew
                                         ? versioned
                                         : testpkg::ToBytes("installed before")));
    }
    if (c.keyExists) {
      ASSERT_TRUE(MakeSharedDllsKey());
      SetSharedCount(target, c.countBefore, c.type);
    } else {
      RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSharedDlls);
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSharedDlls);
    }
    testpkg::TestPackage package = PackageWithoutPages(kAppName);
    testpkg::TestFile& file =
        AddFlaggedFile(package, "shared.dll", testpkg::ToBytes("shared library"), {0, 0, 1});
    file.subDirectory = "Shared\\";
    file.hasVersion = 1;
    file.version = {2, 0, 0, 0};
    SetupRun run = RunSetupToEnd(WritePackage("shared", package), kCaption);

    EXPECT_EQ(TextsOf(run),
              c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    EXPECT_TRUE(run.finishDialog);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(ReadBytes(target),
              c.installed == Installed::kAsNew ? versioned : testpkg::ToBytes("shared library"));
    EXPECT_EQ(SharedCount(target), c.countAfter);
    HKEY key;
    bool keyThere =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (keyThere) RegCloseKey(key);
    EXPECT_EQ(keyThere, c.keyExists) << "the key is never created";
  }
  ASSERT_TRUE(MakeSharedDllsKey());
}

// A package whose data fails its check registers, counts and schedules
// nothing. The library's bytes are out before the damage is found, but
// registering and counting wait for the check, which also wants every file
// of the table within the data; the file in use is not even written under
// its ".new" name.
enum class Damage { kByteChanged, kTableBeyondData };

TEST(SharedCounts, DamagedPackageLeavesCountsAsTheyWere) {
  ASSERT_TRUE(MakeSharedDllsKey());
  const std::string folder = Destination() + "\\Damaged";
  const std::string library = folder + "\\" + kLibraryName;
  const std::string inUse = folder + "\\in-use.dll";
  for (Damage damage : {Damage::kByteChanged, Damage::kTableBeyondData}) {
    SCOPED_TRACE(damage == Damage::kByteChanged ? "a byte changed" : "files beyond the data");
    RemovePath(folder);
    ASSERT_TRUE(MakeFolders(folder));
    ASSERT_TRUE(WriteBytes(inUse, testpkg::ToBytes("in use")));
    SetSharedCount(library, 7);
    HANDLE held = CreateFileA(inUse.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    testpkg::TestPackage package = PackageWithoutPages(kAppName);
    AddFlaggedFile(package, "in-use.dll", NewerLibrary(), {1, 0, 0}).subDirectory = "Damaged\\";
    AddFlaggedFile(package, kLibraryName, Library(), {0, 1, 1}).subDirectory = "Damaged\\";
    const Bytes noise = Noise(700000, 9);
    testpkg::TestFile& last = AddFile(package, "noise.bin", noise, "Damaged\\");
    if (damage == Damage::kTableBeyondData) last.declaredSize = 800000;
    Bytes setupFile = SetupFileAround(testpkg::BuildPackage(package));
    if (damage == Damage::kByteChanged) {
      // Noise is stored as it is (past the block that also holds the
      // libraries): a byte changed among its bytes only changes the
      // output, and the stream's check value at its end finds it.
      auto stored = std::search(setupFile.begin(), setupFile.end(), noise.begin() + 300000,
                                noise.begin() + 300032);
      ASSERT_NE(stored, setupFile.end());
      *stored ^= 0x10;
    }
    SetupRun run = RunSetupToEnd(WriteSetup("damaged-shared", setupFile), kCaption);
    CloseHandle(held);

    EXPECT_EQ(TextsOf(run), std::vector<std::string>{"There was an error uncompressing the data."});
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_FALSE(Exists(library)) << "a new file of a damaged package stays";
    EXPECT_FALSE(Exists(inUse + ".new"));
    EXPECT_TRUE(PendingMovesIn(folder).empty());
    EXPECT_EQ(SharedCount(library), 7u);
  }
}

// ---- in this process: the Windows 95 family, and the uninstall list ----

// HKEY_LOCAL_MACHINE of this process mapped to a key of the test's own.
class OwnMachineKey {
 public:
  OwnMachineKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kMachine);
    RegCreateKeyA(HKEY_CURRENT_USER, kMachine, &key_);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, key_);
  }
  ~OwnMachineKey() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(key_);
    RegDeleteTreeA(HKEY_CURRENT_USER, kMachine);
  }

 private:
  static constexpr const char* kMachine = "Software\\VantorelTest\\Machine";
  HKEY key_ = nullptr;
};

bool NotWindowsNT() { return false; }

std::string ShortPath(const std::string& path) {
  char buffer[MAX_PATH] = {};
  GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  return buffer;
}

// The lines of the "[rename]" section of the Windows directory's
// "wininit.ini", in their order.
std::vector<std::string> WininitRenameLines() {
  std::vector<std::string> lines;
  auto bytes = ReadBytes(WindowsDirectory() + "\\wininit.ini");
  if (!bytes) return lines;
  std::string text(bytes->begin(), bytes->end());
  bool inRename = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inRename = line == "[rename]";
    } else if (inRename && !line.empty()) {
      lines.push_back(line);
    }
    start = end + 1;
  }
  return lines;
}

std::string Windows95Folder() { return ScratchFolder("windows-95"); }

// A redirected shared file on the Windows 95 family: its replacement goes
// to "wininit.ini" with short names, and it is counted and listed under
// its own name. Without the SharedDLLs key nothing is listed.
TEST(OlderWindows, RedirectedSharedFile) {
  // Its name is a short one already: the Windows 95 family renames in DOS,
  // so a long name would be lost. The folder has a long name.
  const std::string folder = Windows95Folder();
  const std::string target = folder + "\\shared.dll";
  ASSERT_TRUE(WriteBytes(target, testpkg::ToBytes("old")));
  ASSERT_TRUE(WriteBytes(target + ".new", testpkg::ToBytes("new")));
  RemovePath(WindowsDirectory() + "\\wininit.ini");
  WindowsFamilyTest previousFamily = SetWindowsFamilyTest(NotWindowsNT);
  support::BoxRecorder recorder;
  FileRecord record;
  record.ReplaceIfInUse = 1;
  record.SharedDll = 1;
  {
    OwnMachineKey machine;
    for (bool keyExists : {true, false}) {
      SCOPED_TRACE(keyExists ? "SharedDLLs key there" : "no SharedDLLs key");
      HKEY key;
      if (keyExists) {
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kSharedDlls, &key), ERROR_SUCCESS);
        DWORD count = 4;
        RegSetValueExA(key, (target + ".new").c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&count), sizeof count);
        RegCloseKey(key);
      } else {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSharedDlls);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSharedDlls);
      }
      Settings.SharedDllList.Empty();
      Settings.SharedDllCount = 0;
      recorder.Clear();
      InstallTarget file;
      file.path = target.c_str();
      file.existed = true;
      file.redirected = true;
      NoteInstalledFile(record, file);
      RaiseCountOf(record, file);
      FinishInstalledFile(record, file);

      if (keyExists) {
        EXPECT_TRUE(recorder.Boxes().empty());
        EXPECT_EQ(SharedCount(target), 2u);
        EXPECT_EQ(SharedCount(target + ".new"), 4u) << "the .new name was counted";
        EXPECT_EQ(std::string(Settings.SharedDllList.Text()), target + "\n");
        EXPECT_EQ(Settings.SharedDllCount, 1);
      } else {
        EXPECT_EQ(recorder.Ids(), std::vector<unsigned>{IDS_OPEN_REGISTRY_KEY});
        EXPECT_EQ(std::string(Settings.SharedDllList.Text()), "");
        EXPECT_EQ(Settings.SharedDllCount, 0);
      }
    }
  }
  SetWindowsFamilyTest(previousFamily);

  // Delete the file in use, then rename the new one into place; written
  // once, as the second run replaced its own lines.
  const std::string shortTarget = ShortPath(target);
  ASSERT_NE(shortTarget, target) << "no short name to test with";
  EXPECT_EQ(WininitRenameLines(),
            (std::vector<std::string>{"NUL=" + shortTarget,
                                      shortTarget + "=" + ShortPath(target + ".new")}));
  EXPECT_TRUE(PendingMovesIn(folder).empty()) << "scheduled as on NT";
}

// A count that cannot be stored is reported, and the file is listed in
// the log all the same: it was installed as a shared file. The install
// record has it as not raised, so no uninstall lowers it. A value name
// longer than the registry takes (16383 characters) makes the store fail.
TEST(SharedList, CountThatCannotBeStoredIsListedAllTheSame) {
  const std::string target = "C:\\" + std::string(20000, 'n') + ".dll";
  support::BoxRecorder recorder;
  FileRecord record;
  record.SharedDll = 1;
  {
    OwnMachineKey machine;
    ASSERT_TRUE(MakeSharedDllsKey());
    Settings.SharedDllList.Empty();
    Settings.SharedDllCount = 0;
    Settings.Record = InstallRecord();
    InstallTarget file;
    file.path = target.c_str();
    NoteInstalledFile(record, file);
    RaiseCountOf(record, file);
    FinishInstalledFile(record, file);
    EXPECT_EQ(SharedCount(target), std::nullopt);
    EXPECT_EQ(std::string(InstallRecordToWrite().Text()).find("\nshared "), std::string::npos)
        << "recorded as raised";
  }
  EXPECT_EQ(recorder.Ids(), std::vector<unsigned>{IDS_SAVE_REGISTRY_KEY});
  // (Compared as a whole: the path is too long to print.)
  EXPECT_TRUE(std::string(Settings.SharedDllList.Text()) == target + "\n") << "not listed";
  EXPECT_EQ(Settings.SharedDllCount, 1);
}

// ---- after the restart ----

TEST(AfterRestart, WaitingFilesTookTheirPlace) {
  const InUseCase& redirected = kInUseCases[1];
  const std::string library = InUseFolder(redirected) + "\\" + kLibraryName;
  EXPECT_EQ(ReadBytes(library), NewerLibrary());
  EXPECT_FALSE(Exists(library + ".new"));
  // Windows95Folder() would empty the folder: its path is built here.
  const std::string windows95 =
      robot::WindowsPathOf(std::string(kPackagesFolder) + "/scratch/windows-95");
  EXPECT_EQ(ReadBytes(windows95 + "\\shared.dll"), testpkg::ToBytes("new"));
  EXPECT_FALSE(Exists(windows95 + "\\shared.dll.new"));
}

}  // namespace
