// The file data as the file loop gets it while it is still being unpacked:
// files larger than the pieces the data is kept in, stored and compressed
// data, and damaged data, which must leave nothing damaged behind; also in
// this process with a tiny budget, where the unpacking waits for the writes
// all the time.
#include <windows.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "box_recorder.h"
#include "engine/file_data_stream.h"
#include "engine/held_folders.h"
#include "engine/install_driver.h"
#include "package/memory_package_file.h"
#include "setup_test_support.h"
#include "state/install_settings.h"

using namespace setuptest;

namespace {

TEST(FileData, FilesLargerThanOnePieceArriveWhole) {
  // Sizes around the 1 MiB pieces: ending exactly at a piece's end, spanning
  // three pieces, empty between them. Half of the data compresses well.
  const struct {
    const char* name;
    Bytes contents;
  } files[] = {
      {"first.txt", testpkg::ToBytes("first")},
      {"one-piece.bin", Noise((1u << 20) - 5, 1)},
      {"empty.dat", {}},
      {"spans.bin", Noise(2 * (1u << 20) + 12345, 2)},
      {"text.txt", Bytes(3 * (1u << 20), 'a')},
      {"last.txt", testpkg::ToBytes("last")},
  };
  for (testpkg::Form form : {testpkg::Form::kCompressed, testpkg::Form::kStored}) {
    bool stored = form == testpkg::Form::kStored;
    SCOPED_TRACE(stored ? "stored" : "compressed");
    std::string appName = stored ? "VT Stored Data" : "VT Compressed Data";
    testpkg::TestPackage package = PackageWithoutPages(appName);
    package.fileDataForm = form;
    for (const auto& file : files) AddFile(package, file.name, file.contents);
    std::string destination = DefaultDestination(appName);
    RemovePath(destination);

    robot::Program setup = StartSetup(WriteSetup(stored ? "stored-data" : "compressed-data",
                                                 SetupFileAround(testpkg::BuildPackage(package))));
    ASSERT_TRUE(setup.Started()) << setup.Error();
    HWND finish = WaitForFinishDialog(setup, appName + " Setup");
    ASSERT_NE(finish, nullptr) << "no finish dialog";
    robot::Click(robot::ChildById(finish, IDC_FINISH));
    ASSERT_EQ(robot::WaitForExit(setup), 0u);
    for (const auto& file : files) {
      auto installed = ReadBytes(destination + "\\" + file.name);
      ASSERT_TRUE(installed.has_value()) << file.name << " not installed";
      EXPECT_TRUE(*installed == file.contents) << file.name << " differs";
    }
  }
}

// Damage as a download brings it: one byte changed, or the file cut short
// (with its last four bytes put back, as a re-packed copy would have them).
// The files are noise, which deflate stores as it is: a byte changed among
// the second file's bytes, a third of the way into the stream, only changes
// the output, and nothing notices before the stream's check value at its
// end, after the files have been written.
enum class Damage { kByteFlipped, kCutShort };

struct DamageCase {
  const char* name;
  Damage damage;
  bool lastFileInstalledBefore;  // an installed copy of the last file
  std::uint32_t firstFileType;   // 6: unknown, the install stops there
  const char* message;
};

const char kUncompressError[] = "There was an error uncompressing the data.";
const DamageCase kDamageCases[] = {
    {"byte flipped, new destination", Damage::kByteFlipped, false, 0, kUncompressError},
    {"byte flipped, last file installed before", Damage::kByteFlipped, true, 0, kUncompressError},
    // The install stops for another reason, before the stream can have
    // failed; the rest of the data is still checked, and the uninstaller
    // this run wrote goes too.
    {"byte flipped, stopped by a bad first record", Damage::kByteFlipped, false, 6,
     "Unknown destination type."},
    {"cut short", Damage::kCutShort, false, 0, nullptr},  // IDS_READ_FILE, naming the setup
};

TEST(FileData, DamagedDataLeavesNothingOfThePackageBehind) {
  const std::string appName = "VT Damaged Data";
  const std::string destination = DefaultDestination(appName);
  const std::string uninstaller = InstalledUninstaller();
  for (const DamageCase& c : kDamageCases) {
    SCOPED_TRACE(c.name);
    testpkg::TestPackage package = PackageWithoutPages(appName);
    const Bytes second = Noise(700000, 5);
    AddFile(package, "first.bin", Noise(700000, 4)).destinationType = c.firstFileType;
    AddFile(package, "second.bin", second, "Docs\\Deep\\");
    AddFile(package, "last.bin", Noise(700000, 6));
    const Bytes sound = SetupFileAround(testpkg::BuildPackage(package));
    const PackageMap map = *MapPackage(sound);
    const std::uint64_t stream = map.fileDataOffset + 8;
    Bytes damaged = sound;
    if (c.damage == Damage::kByteFlipped) {
      auto stored = std::search(sound.begin() + stream, sound.end(), second.begin() + 100,
                                second.begin() + 132);
      ASSERT_NE(stored, sound.end()) << "the second file is not stored as it is";
      damaged[stored - sound.begin()] ^= 0x04;
    } else {
      damaged.resize(stream + map.fileDataCompressedSize / 2);
      damaged.insert(damaged.end(), sound.end() - 4, sound.end());
    }
    RemovePath(destination);
    RemovePath(uninstaller);  // so this run creates it
    if (c.lastFileInstalledBefore) {
      ASSERT_TRUE(MakeFolders(destination));
      ASSERT_TRUE(WriteBytes(destination + "\\last.bin", testpkg::ToBytes("installed")));
    }

    std::string path = WriteSetup("damaged-data", damaged);
    robot::Program setup = StartSetup(path);
    ASSERT_TRUE(setup.Started()) << setup.Error();
    auto box = AnswerNextBox(setup, IDOK);
    ASSERT_TRUE(box.has_value()) << "no message box";
    EXPECT_EQ(box->text,
              c.message ? std::string(c.message) : "Error reading from the file '" + path + "'.");
    EXPECT_EQ(box->caption, appName + " Setup");
    EXPECT_EQ(robot::WaitForExit(setup), 1u);

    EXPECT_FALSE(Exists(uninstaller)) << "the uninstaller this run wrote stays";
    if (c.lastFileInstalledBefore) {
      EXPECT_EQ(*ReadBytes(destination + "\\last.bin"), testpkg::ToBytes("installed"));
      EXPECT_FALSE(Exists(destination + "\\first.bin"));
      EXPECT_FALSE(Exists(destination + "\\Docs"));
    } else {
      EXPECT_FALSE(Exists(destination)) << "files or folders of the package stay";
    }
  }
}

// A file that the version rule keeps still needs its bytes in the data: a
// package whose data ends before the end of its last file is damaged, even
// when that file is kept.
TEST(FileData, KeptFilePastTheEndOfTheDataIsDamage) {
  const std::string appName = "VT Kept Past The End";
  const std::string destination = DefaultDestination(appName);
  testpkg::TestPackage package = PackageWithoutPages(appName);
  AddFile(package, "new.txt", testpkg::ToBytes("new file"));
  testpkg::TestFile& kept = AddFile(package, "kept.exe", {});
  kept.declaredSize = 5000;
  kept.hasVersion = 1;
  kept.version = {1, 0, 0, 0};
  RemovePath(destination);
  ASSERT_TRUE(MakeFolders(destination));
  const Bytes installed = *ReadBytes(InputFile("versioned.exe"));  // 2.0.0.0
  ASSERT_TRUE(WriteBytes(destination + "\\kept.exe", installed));

  robot::Program setup =
      StartSetup(WriteSetup("kept-past-end", SetupFileAround(testpkg::BuildPackage(package))));
  ASSERT_TRUE(setup.Started()) << setup.Error();
  auto box = AnswerNextBox(setup, IDOK);
  ASSERT_TRUE(box.has_value()) << "no message box";
  EXPECT_EQ(box->text, "There was an error uncompressing the data.");
  EXPECT_EQ(robot::WaitForExit(setup), 1u);
  EXPECT_EQ(*ReadBytes(destination + "\\kept.exe"), installed);
  EXPECT_FALSE(Exists(destination + "\\new.txt"));
}

// ---- the file loop in this process, with a tiny budget ----

class NoProgress final : public InstallProgress {
 public:
  void SetPhase(unsigned) override {}
  void ShowBar(unsigned) override {}
  void StepBar() override {}
  void Pump() override {}
  bool CancelConfirmed() override { return false; }
  void Close() override {}
};

// Names in `folder` and below.
std::vector<std::string> LeftIn(const std::string& folder) {
  std::vector<std::string> left;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return left;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    left.push_back(name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      for (const std::string& inner : LeftIn(folder + "\\" + name))
        left.push_back(name + "\\" + inner);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return left;
}

// The file loop of `setup` (a setup file around a hand-built package)
// run in this process, as the install runs it.
bool InstallHere(const Bytes& setup, const FileDataBudget& budget = kInstallBudget) {
  const PackageMap map = *MapPackage(setup);
  MemoryPackageFile file(setup.data(), setup.size());
  if (!file.Seek(map.fileTableOffset)) return false;
  PackageInput input = {&file, "setup.exe", Settings.SetupCaption};
  NoProgress progress;
  InstallChanges changes;
  if (!InstallFiles(input, progress, changes, budget)) return false;
  changes.written.RaiseSharedCounts();
  changes.written.Finish();
  return true;
}

// One path named by two records: the second sees the first one's file, as
// if each were written at its turn. It is kept when it is not newer, and
// its shared count is raised on top of the first one's.
TEST(FileData, APathNamedTwiceSeesTheFirstRecordsFile) {
  const struct {
    const char* name;
    bool installedBefore;  // an unversioned copy, in a folder that exists
    std::uint16_t firstMajor, secondMajor;
    int stays;  // which record's bytes
    DWORD count;
  } cases[] = {
      {"new folder, newer first", false, 2, 1, 0, 1},
      {"new folder, older first", false, 1, 2, 1, 2},
      {"installed before, newer first", true, 2, 1, 0, 2},
      {"installed before, older first", true, 1, 2, 1, 3},
  };
  const std::string destination = ScratchFolder("path-twice") + "\\App";
  const std::string path = destination + "\\Lib\\twice.dll";
  Settings.SetupCaption = "VT Path Twice Setup";
  Settings.DestinationDir = destination.c_str();
  support::BoxRecorder boxes;
  HKEY counts;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kSharedDlls, &counts), ERROR_SUCCESS);
  RegCloseKey(counts);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testpkg::TestPackage package = PackageWithoutPages("VT Path Twice");
    const Bytes bytes[] = {Noise(3000, 21), Noise(3000, 22)};
    for (int i = 0; i < 2; ++i) {
      testpkg::TestFile& file = AddFile(package, "twice.dll", bytes[i], "Lib\\");
      file.hasVersion = 1;
      file.version = {i == 0 ? c.firstMajor : c.secondMajor, 0, 0, 0};
      file.sharedDll = 1;
    }
    RemovePath(destination);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, path.c_str());
    if (c.installedBefore) {
      ASSERT_TRUE(MakeFolders(destination + "\\Lib"));
      ASSERT_TRUE(WriteBytes(path, testpkg::ToBytes("unversioned")));
    }
    boxes.Clear();
    EXPECT_TRUE(InstallHere(SetupFileAround(testpkg::BuildPackage(package))));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(ReadBytes(path) == bytes[c.stays]) << "not the bytes of record " << c.stays;
    EXPECT_EQ(support::RegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, path), c.count);
    EXPECT_EQ(LeftIn(destination + "\\Lib"), std::vector<std::string>{"twice.dll"});
  }
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, path.c_str());
}

// A file that a program opens, keeping others from renaming it, after the
// loop wrote its replacement: the install is undone as for damaged data.
// The file replaced before it gets its own bytes back, the new folder and
// file go, and no staging file stays.
TEST(FileData, AFileThatCannotBePutInPlaceUndoesTheInstall) {
  const std::string destination = ScratchFolder("completion-fails") + "\\App";
  Settings.SetupCaption = "VT Completion Fails Setup";
  Settings.DestinationDir = destination.c_str();
  support::BoxRecorder boxes;
  testpkg::TestPackage package = PackageWithoutPages("VT Completion Fails");
  AddFile(package, "replaced.txt", testpkg::ToBytes("replaced by the install"));
  AddFile(package, "held.txt", testpkg::ToBytes("held by a program"));
  AddFile(package, "new.txt", testpkg::ToBytes("new"), "New\\");
  RemovePath(destination);
  ASSERT_TRUE(MakeFolders(destination));
  ASSERT_TRUE(WriteBytes(destination + "\\replaced.txt", testpkg::ToBytes("replaced before")));
  ASSERT_TRUE(WriteBytes(destination + "\\held.txt", testpkg::ToBytes("held before")));
  // Readable and writable by others, but neither renamed nor deleted.
  HANDLE held = CreateFileA((destination + "\\held.txt").c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  const bool done = InstallHere(SetupFileAround(testpkg::BuildPackage(package)));
  CloseHandle(held);
  EXPECT_FALSE(done);
  EXPECT_EQ(boxes.Ids(), std::vector<unsigned>{IDS_OPEN_FILE});
  EXPECT_TRUE(ReadBytes(destination + "\\replaced.txt") == testpkg::ToBytes("replaced before"));
  EXPECT_TRUE(ReadBytes(destination + "\\held.txt") == testpkg::ToBytes("held before"));
  std::vector<std::string> left = LeftIn(destination);
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"held.txt", "replaced.txt"}));
}

// The loop asks for bytes only from where it released last: in the
// product, asking beyond bytes still held would wait for ever; the test
// build ends at once, naming the broken promise.
void AskBeyondWhatWasReleased(const Bytes& setup, std::uint64_t fileDataOffset) {
  MemoryPackageFile file(setup.data(), setup.size());
  file.Seek(fileDataOffset);
  PackageInput input = {&file, "setup.exe", ""};
  NoProgress progress;
  FileDataStream data(FileDataBudget{4096, 2, true});
  data.Start(input, progress);
  std::uint32_t count = 0;
  data.Next(0, 100, &count);
  data.Next(100, 100, &count);  // without Release(100) first
}

TEST(FileDataDeathTest, AskingBeyondWhatWasReleasedBreaksTheContract) {
  testpkg::TestPackage package = PackageWithoutPages("VT Contract");
  AddFile(package, "a.bin", Noise(10000, 3));
  const Bytes setup = SetupFileAround(testpkg::BuildPackage(package));
  const std::uint64_t fileData = MapPackage(setup)->fileDataOffset;
  EXPECT_EXIT(AskBeyondWhatWasReleased(setup, fileData), ::testing::ExitedWithCode(70),
              "contract broken: FileDataStream::Next");
}

struct TinyBudgetCase {
  const char* name;
  bool worker;
  bool damaged;  // a byte of the last file changed, near the stream's end
};

// Two pieces of 4 KiB against files of 150,000 bytes: the unpacking is
// always at most two pieces ahead of the writes. The first file is
// installed before: its new bytes wait in a staging file until the check.
// A newer version of the second is installed and stays: the loop moves on
// past bytes that are not out yet.
TEST(FileData, TinyBudgetKeepsTheBytesAndTheDamageRules) {
  const TinyBudgetCase cases[] = {
      {"worker, sound", true, false},
      {"worker, damaged", true, true},
      {"no worker, sound", false, false},
      {"no worker, damaged", false, true},
  };
  const std::string destination = ScratchFolder("tiny-budget") + "\\App";
  const Bytes installed = testpkg::ToBytes("installed before");
  const Bytes newer = *ReadBytes(InputFile("versioned.exe"));  // 2.0.0.0
  Settings.SetupCaption = "VT Tiny Budget Setup";
  Settings.DestinationDir = destination.c_str();
  support::BoxRecorder boxes;
  for (const TinyBudgetCase& c : cases) {
    SCOPED_TRACE(c.name);
    testpkg::TestPackage package = PackageWithoutPages("VT Tiny Budget");
    const Bytes files[] = {Noise(150000, 7), Noise(150000, 8), Noise(150000, 9)};
    AddFile(package, "first.bin", files[0]);
    testpkg::TestFile& kept = AddFile(package, "kept.exe", Noise(150000, 10));
    kept.hasVersion = 1;
    kept.version = {1, 0, 0, 0};
    AddFile(package, "second.bin", files[1], "Deep\\Deeper\\");
    AddFile(package, "last.bin", files[2], "Deep\\");
    Bytes setup = SetupFileAround(testpkg::BuildPackage(package));
    const PackageMap map = *MapPackage(setup);
    if (c.damaged) {
      const std::uint64_t streamEnd = map.fileDataOffset + 8 + map.fileDataCompressedSize;
      auto stored = std::search(setup.begin() + map.fileDataOffset, setup.end(),
                                files[2].end() - 64, files[2].end() - 32);
      ASSERT_LT(static_cast<std::uint64_t>(stored - setup.begin()), streamEnd)
          << "not stored as it is";
      *stored ^= 0x10;
    }
    // A run holds the folders it wrote in until it ends; this process
    // makes several runs.
    ReleaseHeldFolders();
    RemovePath(destination);
    ASSERT_TRUE(MakeFolders(destination));
    ASSERT_TRUE(WriteBytes(destination + "\\first.bin", installed));
    ASSERT_TRUE(WriteBytes(destination + "\\kept.exe", newer));

    MemoryPackageFile file(setup.data(), setup.size());
    ASSERT_TRUE(file.Seek(map.fileTableOffset));
    PackageInput input = {&file, "setup.exe", Settings.SetupCaption};
    NoProgress progress;
    InstallChanges changes;
    boxes.Clear();
    bool done = InstallFiles(input, progress, changes, FileDataBudget{4096, 2, c.worker});
    if (done) changes.written.Finish();

    if (!c.damaged) {
      EXPECT_TRUE(done);
      EXPECT_TRUE(boxes.Boxes().empty());
      EXPECT_EQ(ReadBytes(destination + "\\first.bin"), files[0]);
      EXPECT_EQ(ReadBytes(destination + "\\Deep\\Deeper\\second.bin"), files[1]);
      EXPECT_EQ(ReadBytes(destination + "\\Deep\\last.bin"), files[2]);
      EXPECT_EQ(ReadBytes(destination + "\\kept.exe"), newer);
      EXPECT_EQ(LeftIn(destination).size(), 6u) << "staging files left";
      continue;
    }
    EXPECT_FALSE(done);
    EXPECT_EQ(boxes.Ids(), std::vector<unsigned>{IDS_UNCOMPRESS});
    EXPECT_EQ(ReadBytes(destination + "\\first.bin"), installed);
    for (const std::string& name : LeftIn(destination)) {
      if (name != "first.bin" && name != "kept.exe") ADD_FAILURE() << name << " stays";
    }
  }
}

}  // namespace
