// Every way an install can fail, as the user meets it: one error box with
// the exact text and caption, then exit code 1, and nothing already written
// taken back.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "base/little_endian.h"
#include "setup_test_support.h"
#include "test_package_writer.h"

using namespace setuptest;

namespace {

const char kEveryCaption[] = "VT Every Destination Setup";

// Runs `setupPath`, expects exactly this error box, answers it and expects
// exit code 1.
void ExpectFailure(const std::string& setupPath, const std::string& caption,
                   const std::string& text) {
  robot::Program setup = StartSetup(setupPath);
  ASSERT_TRUE(setup.Started()) << setup.Error();
  auto box = AnswerNextBox(setup, IDOK);
  ASSERT_TRUE(box.has_value()) << "no message box";
  EXPECT_EQ(box->text, text);
  EXPECT_EQ(box->caption, caption);
  EXPECT_EQ(box->icon, robot::BoxIcon::Error) << robot::NameOf(box->icon);
  EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(robot::WaitForExit(setup), 1u);
}

std::string ReadError(const std::string& path) {
  return "Error reading from the file '" + path + "'.";
}

// A copy of a packed setup file with some bytes changed, in a scratch folder.
std::string EditedPackage(const std::string& name, const std::function<void(Bytes&)>& edit) {
  Bytes bytes = *ReadBytes(PackagePath("every-destination"));
  edit(bytes);
  std::string path = ScratchFolder(name) + "\\setup.exe";
  EXPECT_TRUE(WriteBytes(path, bytes));
  return path;
}

PackageMap MapOf(const Bytes& bytes) {
  auto map = MapPackage(bytes);
  EXPECT_TRUE(map.has_value()) << "the packed setup file cannot be read";
  return map.value_or(PackageMap{});
}

TEST(Failures, ProgramWithoutPackage) {
  std::string path = ScratchFolder("no-package") + "\\setup.exe";
  ASSERT_TRUE(WriteBytes(path, *ReadBytes(robot::WindowsPathOf(kSetupProgram))));
  ExpectFailure(path, "Vantorel", ReadError(path));
}

TEST(Failures, TrailerPointingPastTheEnd) {
  std::string path = EditedPackage("past-the-end", [](Bytes& bytes) {
    PutU32(bytes, bytes.size() - 4, static_cast<std::uint32_t>(bytes.size() + 100));
  });
  ExpectFailure(path, "Vantorel", ReadError(path));
}

TEST(Failures, CorruptedStream) {
  std::string path = EditedPackage("corrupted", [](Bytes& bytes) {
    // The stream's last byte is part of its Adler-32 check value.
    PackageMap map = MapOf(bytes);
    bytes[map.fileDataOffset + 8 + map.fileDataCompressedSize - 1] ^= 0x55;
  });
  ExpectFailure(path, kEveryCaption, "There was an error uncompressing the data.");
}

// The licence is read at start-up, before the setup caption is made: its
// failures come with that caption as it is then, empty.
TEST(Failures, DamagedLicenceAtStartUp) {
  testpkg::TestPackage package = PackageWithoutPages("VT Damaged Licence");
  package.hasLicence = true;
  package.licence = "Terms of use, long enough to be compressed: " + std::string(200, 't');
  Bytes setupFile = SetupFileAround(testpkg::BuildPackage(package));
  std::uint32_t headerOffset = LoadU32(&setupFile[setupFile.size() - 4]);
  std::uint64_t licence = headerOffset + 130;
  std::uint32_t compressedSize = LoadU32(&setupFile[licence]);
  ASSERT_GT(compressedSize, 0u);
  setupFile[licence + 8 + compressedSize - 1] ^= 0x55;  // its check value
  ExpectFailure(WriteSetup("damaged-licence", setupFile), "",
                "There was an error uncompressing the data.");
}

TEST(Failures, UnknownDestinationType) {
  std::string path = EditedPackage(
      "unknown-type", [](Bytes& bytes) { PutU32(bytes, MapOf(bytes).firstTypeOffset, 6); });
  ExpectFailure(path, kEveryCaption, "Unknown destination type.");
}

TEST(Failures, DestinationFolderBlockedByAFile) {
  const std::string root = ProgramFilesDirectory() + "\\VantorelSetupTest-Blocked";
  RemovePath(root);
  ASSERT_TRUE(MakeFolders(root));
  ASSERT_TRUE(WriteBytes(root + "\\blocker", Bytes{'x'}));
  ExpectFailure(PackagePath("blocked-folder"), "VT Blocked Folder Setup",
                "Unable to create the directory '" + root + "\\blocker\\inner\\'.");
  // The file in the way is left as it was.
  EXPECT_EQ(*ReadBytes(root + "\\blocker"), Bytes{'x'});
}

// vtpack refuses such a subfolder; a package from elsewhere may hold one.
TEST(Failures, DirectoryLongerThanWindowsPaths) {
  std::string subDirectory;
  for (int i = 0; i < 11; ++i) {
    char part[40];
    snprintf(part, sizeof part, "Folder-%02d-with-a-long-name\\", i);
    subDirectory += part;
  }
  testpkg::TestPackage package = PackageWithoutPages("VT Long Path");
  AddFile(package, "readme.txt", testpkg::ToBytes("text"), subDirectory).destinationType =
      4;  // program files
  std::string path = WriteSetup("long-path", SetupFileAround(testpkg::BuildPackage(package)));

  std::string directory = ProgramFilesDirectory() + "\\" + subDirectory;
  ASSERT_GE(directory.size(), static_cast<size_t>(MAX_PATH));
  ExpectFailure(path, "VT Long Path Setup", "Unable to create the directory '" + directory + "'.");
}

// The registry records and the associations follow the file data: a
// package cut inside either is as broken as one cut anywhere else.
TEST(Failures, PackageCutInsideTheLastSections) {
  testpkg::TestPackage package = PackageWithoutPages("VT Cut Sections");
  AddFile(package, "readme.txt", testpkg::ToBytes("text"));
  package.registry[1] = {
      {"Software\\VantorelSetupTest\\Cut", {{1, "Name=a value long enough to cut"}}}};
  package.associations = {
      {"vtcut", "VantorelTest.Cut", "Cut document", "C:\\cut.exe", "C:\\cut.exe", 0}};
  const Bytes whole = testpkg::BuildPackage(package);
  // Before the trailer: the associations (a count, then one entry of five
  // texts with their NULs and an icon index), before them the registry.
  const testpkg::TestAssociation& entry = package.associations[0];
  const std::size_t associations = 4 + entry.extension.size() + entry.className.size() +
                                   entry.description.size() + entry.programPath.size() +
                                   entry.iconPath.size() + 5 + 4;
  const struct {
    const char* name;
    std::size_t cutBeforeTrailer;
  } cases[] = {
      {"inside a registry value", associations + 10},
      {"inside an association", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t length = whole.size() - 4 - c.cutBeforeTrailer;
    std::string path =
        WriteSetup("cut-sections", SetupFileAround(testpkg::CutPackage(whole, length)));
    ExpectFailure(path, "VT Cut Sections Setup", ReadError(path));
  }
}

}  // namespace
