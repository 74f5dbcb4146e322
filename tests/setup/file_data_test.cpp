// The file data as the file loop gets it while it is still being unpacked:
// files larger than the pieces the data is kept in, stored and compressed
// data, and a stream that fails its check only at the end, which must not
// have replaced a file that was already installed.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"
#include "test_package_writer.h"

using namespace setuptest;

namespace {

// Bytes that no compressor shrinks and that differ at every offset.
Bytes Noise(size_t size, std::uint32_t seed) {
  Bytes bytes(size);
  for (auto& byte : bytes) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(seed >> 24);
  }
  return bytes;
}

testpkg::TestPackage PackageWithoutPages(const std::string& appName) {
  testpkg::TestPackage package;
  package.appName = appName;
  package.showWelcomePage = package.showDestinationPage = package.showShortcutsPage = 0;
  package.uninstaller = *ReadBytes(robot::WindowsPathOf(VTUNINST_PROGRAM));
  return package;
}

void AddFile(testpkg::TestPackage& package, const std::string& name, const Bytes& contents) {
  testpkg::TestFile file;
  file.name = name;
  file.contents = contents;
  package.files.push_back(file);
}

std::string WriteSetup(const std::string& folder, const Bytes& setupFile) {
  std::string path = ScratchFolder(folder) + "\\setup.exe";
  EXPECT_TRUE(WriteBytes(path, setupFile));
  return path;
}

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

    robot::Program setup = StartSetup(
        WriteSetup(stored ? "stored-data" : "compressed-data",
                   SetupFileAround(testpkg::BuildPackage(package))));
    ASSERT_TRUE(setup.Started()) << setup.Error();
    HWND finish = WaitForFinishDialog(setup, appName + " Setup");
    ASSERT_NE(finish, nullptr) << "no finish dialog";
    robot::Click(robot::ChildById(finish, 3));
    ASSERT_EQ(robot::WaitForExit(setup), 0u);
    for (const auto& file : files) {
      auto installed = ReadBytes(destination + "\\" + file.name);
      ASSERT_TRUE(installed.has_value()) << file.name << " not installed";
      EXPECT_TRUE(*installed == file.contents) << file.name << " differs";
    }
  }
}

TEST(FileData, StreamFailingItsCheckReplacesNoInstalledFile) {
  const std::string appName = "VT Broken Check";
  testpkg::TestPackage package = PackageWithoutPages(appName);
  AddFile(package, "installed.txt", testpkg::ToBytes("new contents"));
  AddFile(package, "big.bin", Noise(3u << 20, 3));
  Bytes setupFile = SetupFileAround(testpkg::BuildPackage(package));
  auto map = MapPackage(setupFile);
  ASSERT_TRUE(map.has_value());
  // The stream's last byte belongs to its Adler-32 check value: every file's
  // bytes come out right, and only the end says they cannot be trusted.
  setupFile[map->fileDataOffset + 8 + map->fileDataCompressedSize - 1] ^= 0x55;

  std::string destination = DefaultDestination(appName);
  RemovePath(destination);
  ASSERT_TRUE(MakeFolders(destination));
  ASSERT_TRUE(WriteBytes(destination + "\\installed.txt", testpkg::ToBytes("old contents")));

  robot::Program setup = StartSetup(WriteSetup("broken-check", setupFile));
  ASSERT_TRUE(setup.Started()) << setup.Error();
  auto box = AnswerNextBox(setup, IDOK);
  ASSERT_TRUE(box.has_value()) << "no message box";
  EXPECT_EQ(box->text, "There was an error uncompressing the data.");
  EXPECT_EQ(box->caption, appName + " Setup");
  EXPECT_EQ(robot::WaitForExit(setup), 1u);
  EXPECT_EQ(*ReadBytes(destination + "\\installed.txt"), testpkg::ToBytes("old contents"));
}

}  // namespace
