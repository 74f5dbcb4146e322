// Packages read from real files on disk: through the Windows file API in the
// Windows build (under Wine), through stdio in the native build.
#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>

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
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  ~SetupFileOnDisk() { std::remove(path_.c_str()); }
  const char* Path() const { return path_.c_str(); }

 private:
  std::string path_;
};

// A package whose texts and records straddle the reader's 4 KB buffer and
// whose blocks are larger than it.
TestPackage LargePackage(Form blocks = Form::kCompressed) {
  TestPackage p = RichPackage(blocks);
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
    TestPackage p = LargePackage(form);
    Bytes bytes = BuildPackage(p);
    SetupFileOnDisk setup("same", bytes);
    DiskPackageFile file;
    ASSERT_TRUE(file.Open(setup.Path()));
    EXPECT_EQ(file.Size(), bytes.size());
    WholeRead read;
    ReadWhole(file, setup.Path(), &read);
    ExpectReadAsWritten(p, bytes.size(), read);
  }
}

// Cuts around the buffer's edges and inside the blocks: IDS_READ_FILE with the
// file's own path.
TEST(DiskPackageTest, ACutFileGivesMessage8WithItsPath) {
  Bytes whole = BuildPackage(LargePackage());
  for (std::size_t length :
       {std::size_t{100}, std::size_t{4095}, std::size_t{4096}, std::size_t{4097},
        std::size_t{8200}, whole.size() / 2, whole.size() - 5}) {
    SCOPED_TRACE("cut after " + std::to_string(length));
    SetupFileOnDisk setup("cut", CutPackage(whole, length));
    DiskPackageFile file;
    ASSERT_TRUE(file.Open(setup.Path()));
    WholeRead read;
    ReadWhole(file, setup.Path(), &read);
    EXPECT_FALSE(read.ok);
    ASSERT_EQ(read.boxes.size(), 1u);
    EXPECT_EQ(read.boxes[0].id, unsigned{IDS_READ_FILE});
    EXPECT_EQ(read.boxes[0].text, ReadErrorText(setup.Path()));
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
  HANDLE other = CreateFileA(setup.Path(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  Win32PackageFile file;
  ASSERT_TRUE(file.Open(setup.Path()));
  WholeRead read;
  ReadWhole(file, setup.Path(), &read);
  EXPECT_TRUE(read.ok);
  file.Close();
  CloseHandle(other);
}
#endif

}  // namespace
}  // namespace testpkg
