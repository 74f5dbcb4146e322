// Packages read from real files on disk: through the Windows file API in the
// Windows build (under Wine), through stdio in the native build.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "package/whole_package.h"
#include "reader_test_support.h"

#ifdef _WIN32
#include <windows.h>

#include "package/win32_package_file.h"
using DiskPackageFile = Win32PackageFile;
#else
#include "package/stdio_package_file.h"
using DiskPackageFile = StdioPackageFile;
#endif

namespace testpkg {
namespace {

// A setup file in the temporary folder, removed at the end of the test. The
// name has a blank and a non-ASCII letter of the ANSI code page.
class SetupFileOnDisk {
 public:
  SetupFileOnDisk(const std::string& testName, const Bytes& bytes)
      : path_(::testing::TempDir() + "vantorel reader " + testName + " D\xE9mo Setup.exe") {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  ~SetupFileOnDisk() { std::remove(path_.c_str()); }
  const char* path() const { return path_.c_str(); }

 private:
  std::string path_;
};

// A package whose texts and records straddle the reader's 4 KB buffer and
// whose blocks are larger than it.
TestPackage LargePackage() {
  TestPackage p = RichPackage();
  p.licence = std::string(9000, 'L');
  for (int i = 0; i < 150; ++i) {
    TestFile file;
    file.name = "file number " + std::to_string(i) + std::string(i % 37, '_') + ".dat";
    file.subDirectory = "Data\\" + std::to_string(i % 7) + "\\";
    for (int b = 0; b < 40 * i; ++b) file.contents.push_back(static_cast<std::uint8_t>(b * i));
    file.hasVersion = i % 2;
    p.files.push_back(file);
  }
  for (int i = 0; i < 50; ++i) {
    p.registry[2].push_back({"Software\\Demo\\Key " + std::to_string(i) + std::string(i * 3, 'k'),
                             {{1, "Name=" + std::string(i * 11, 'v')}}});
  }
  return p;
}

TEST(DiskPackageTest, ReadsTheSamePackageAsFromMemory) {
  for (Form form : {Form::kCompressed, Form::kStored}) {
    TestPackage p = LargePackage();
    p.licenceForm = form;
    p.fileDataForm = form;
    Bytes bytes = BuildPackage(p);
    SetupFileOnDisk setup("same", bytes);

    DiskPackageFile file;
    ASSERT_TRUE(file.Open(setup.path()));
    EXPECT_EQ(file.Size(), bytes.size());
    PackageInput input{&file, setup.path(), kCaption};
    MessageRecorder recorder;
    PackageContents contents;
    RegistryLines registry;
    AssociationLines associations;
    ASSERT_TRUE(ReadWholePackage(input, &contents, registry, associations));
    EXPECT_TRUE(recorder.boxes().empty());
    EXPECT_STREQ(contents.LicenceText.Text(), p.licence.c_str());
    ASSERT_EQ(contents.Files.Count(), static_cast<int>(p.files.size()));
    for (int i = 0; i < contents.Files.Count(); ++i) {
      EXPECT_EQ(contents.Files[i].FileName.Text(), p.files[i].name);
      EXPECT_EQ(contents.Files[i].SubDirectory.Text(), p.files[i].subDirectory);
      EXPECT_EQ(contents.Files[i].FileSize, p.files[i].contents.size());
    }
    Bytes data;
    for (const TestFile& f : p.files) data.insert(data.end(), f.contents.begin(), f.contents.end());
    EXPECT_EQ(Bytes(contents.FileData.Data(), contents.FileData.Data() + contents.FileData.Length()),
              data);
    EXPECT_EQ(registry.lines, ExpectedRegistryLines(p));
    EXPECT_EQ(associations.lines, ExpectedAssociationLines(p));
    EXPECT_EQ(contents.EndOffset, bytes.size() - 4);
  }
}

// Cuts around the buffer's edges and inside the blocks: message 8 with the
// file's own path.
TEST(DiskPackageTest, ACutFileGivesMessage8WithItsPath) {
  Bytes whole = BuildPackage(LargePackage());
  for (std::size_t length : {std::size_t{100}, std::size_t{4095}, std::size_t{4096},
                             std::size_t{4097}, std::size_t{8200}, whole.size() / 2,
                             whole.size() - 5}) {
    SCOPED_TRACE("cut after " + std::to_string(length));
    SetupFileOnDisk setup("cut", CutPackage(whole, length));
    DiskPackageFile file;
    ASSERT_TRUE(file.Open(setup.path()));
    PackageInput input{&file, setup.path(), kCaption};
    MessageRecorder recorder;
    PackageContents contents;
    RegistryLines registry;
    AssociationLines associations;
    EXPECT_FALSE(ReadWholePackage(input, &contents, registry, associations));
    ASSERT_EQ(recorder.ids(), std::vector<unsigned>{IDS_READ_FILE});
    EXPECT_EQ(recorder.boxes()[0].text, std::string("Error reading from the file '") + setup.path() + "'.");
  }
}

TEST(DiskPackageTest, AMissingFileDoesNotOpen) {
  DiskPackageFile file;
  std::string path = ::testing::TempDir() + "vantorel reader no such setup.exe";
  EXPECT_FALSE(file.Open(path.c_str()));
  EXPECT_FALSE(file.Seek(0));
  char byte;
  EXPECT_FALSE(file.Read(&byte, 1));
}

#ifdef _WIN32
// The setup program reads its own executable while Windows holds it open for
// running: opening with read sharing must succeed next to another reader.
TEST(DiskPackageTest, OpensAFileThatAnotherReaderHolds) {
  Bytes bytes = BuildPackage(RichPackage());
  SetupFileOnDisk setup("shared", bytes);
  HANDLE other = CreateFileA(setup.path(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  Win32PackageFile file;
  EXPECT_TRUE(file.Open(setup.path()));
  PackageInput input{&file, setup.path(), kCaption};
  PackageContents contents;
  RegistryLines registry;
  AssociationLines associations;
  EXPECT_TRUE(ReadWholePackage(input, &contents, registry, associations));
  file.Close();
  CloseHandle(other);
}
#endif

}  // namespace
}  // namespace testpkg
