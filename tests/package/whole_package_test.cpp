// Whole packages read front to back, and what a cut or damaged package does.
#include <gtest/gtest.h>

#include "package/whole_package.h"
#include "reader_test_support.h"

namespace testpkg {
namespace {

struct WholeRead {
  bool ok;
  std::vector<RecordedBox> boxes;
  RegistryLines registry;
  AssociationLines associations;
};

void ReadWhole(const Bytes& bytes, PackageContents* contents, WholeRead* read) {
  MemoryPackage package(bytes);
  MessageRecorder recorder;
  read->ok = ReadWholePackage(package.input, contents, read->registry, read->associations);
  read->boxes = recorder.boxes();
}

Bytes Concatenated(const std::vector<TestFile>& files) {
  Bytes data;
  for (const TestFile& f : files) data.insert(data.end(), f.contents.begin(), f.contents.end());
  return data;
}

TEST(WholePackageTest, ReadsARichPackageCompletely) {
  for (Form form : {Form::kCompressed, Form::kStored}) {
    TestPackage p = RichPackage();
    p.licenceForm = form;
    p.fileDataForm = form;
    Bytes bytes = BuildPackage(p);
    PackageContents contents;
    WholeRead read;
    ReadWhole(bytes, &contents, &read);
    ASSERT_TRUE(read.ok);
    EXPECT_TRUE(read.boxes.empty());
    EXPECT_STREQ(contents.Header.AppName, "Rich Demo");
    EXPECT_EQ(contents.Header.HasLicence, 1);
    EXPECT_STREQ(contents.LicenceText.Text(), p.licence.c_str());
    EXPECT_EQ(Bytes(contents.Uninstaller.Data(),
                    contents.Uninstaller.Data() + contents.Uninstaller.Length()),
              p.uninstaller);
    ASSERT_EQ(contents.Files.Count(), 3);
    EXPECT_STREQ(contents.Files[1].SubDirectory.Text(), "Docs\\");
    EXPECT_EQ(contents.Files[2].DestinationType, 2u);
    EXPECT_EQ(Bytes(contents.FileData.Data(), contents.FileData.Data() + contents.FileData.Length()),
              Concatenated(p.files));
    EXPECT_EQ(read.registry.lines, ExpectedRegistryLines(p));
    EXPECT_EQ(read.associations.lines, ExpectedAssociationLines(p));
    EXPECT_EQ(contents.EndOffset, bytes.size() - 4) << "nothing between D8 and the trailer";
  }
}

// Without files there is no file data block: the registry counts follow the
// file count directly.
TEST(WholePackageTest, NoFilesMeansNoFileDataBlock) {
  TestPackage p = RichPackage();
  p.files.clear();
  p.hasLicence = false;
  Bytes bytes = BuildPackage(p);
  PackageContents contents;
  WholeRead read;
  ReadWhole(bytes, &contents, &read);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(contents.Files.Count(), 0);
  EXPECT_EQ(contents.FileData.Data(), nullptr);
  EXPECT_TRUE(contents.LicenceText.IsEmpty());
  EXPECT_EQ(contents.DataOffset, 64u + 130u) << "the data block follows the header";
  EXPECT_EQ(read.registry.lines, ExpectedRegistryLines(p));
  EXPECT_EQ(contents.EndOffset, bytes.size() - 4);
}

// An interrupted download: the package cut at any byte, its trailer still in
// place. Every cut, in every field, is message 8 naming the setup executable,
// shown once; only the whole package reads.
TEST(WholePackageTest, ACutAtEveryByteGivesExactlyMessage8) {
  for (Form form : {Form::kCompressed, Form::kStored}) {
    TestPackage p = RichPackage();
    p.licenceForm = form;
    p.fileDataForm = form;
    Bytes whole = BuildPackage(p);
    for (std::size_t length = 0; length < whole.size() - 4; ++length) {
      SCOPED_TRACE("cut after " + std::to_string(length) + " bytes");
      PackageContents contents;
      WholeRead read;
      ReadWhole(CutPackage(whole, length), &contents, &read);
      EXPECT_FALSE(read.ok);
      ASSERT_EQ(read.boxes.size(), 1u);
      EXPECT_EQ(read.boxes[0].id, unsigned{IDS_READ_FILE});
      EXPECT_EQ(read.boxes[0].text, ReadErrorText());
      EXPECT_EQ(read.boxes[0].caption, kCaption);
    }
  }
}

// Damage inside a compressed block is an uncompress error, never a read error.
TEST(WholePackageTest, DamagedStreamsGiveMessage12) {
  TestPackage p = RichPackage();
  Bytes whole = BuildPackage(p);
  // The three streams' first bytes, found by their zlib header 0x78 0xDA.
  std::vector<std::size_t> streams;
  for (std::size_t i = 64 + 130; i + 1 < whole.size(); ++i) {
    if (whole[i] == 0x78 && whole[i + 1] == 0xDA) streams.push_back(i);
  }
  ASSERT_EQ(streams.size(), 3u) << "licence, uninstaller, file data";
  for (std::size_t start : streams) {
    for (std::size_t offset : {0u, 1u, 2u, 5u}) {
      Bytes damaged = whole;
      damaged[start + offset] ^= 0x55;
      PackageContents contents;
      WholeRead read;
      ReadWhole(damaged, &contents, &read);
      EXPECT_FALSE(read.ok);
      ASSERT_EQ(read.boxes.size(), 1u);
      EXPECT_EQ(read.boxes[0].id, unsigned{IDS_UNCOMPRESS});
    }
  }
}

}  // namespace
}  // namespace testpkg
