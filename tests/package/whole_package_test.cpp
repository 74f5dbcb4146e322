// Whole packages read front to back, and what a cut or damaged package does.
#include <gtest/gtest.h>

#include "reader_test_support.h"

namespace testpkg {
namespace {

TEST(WholePackageTest, ReadsARichPackageCompletely) {
  for (Form form : {Form::kCompressed, Form::kStored}) {
    TestPackage p = RichPackage(form);
    Bytes bytes = BuildPackage(p);
    WholeRead read;
    ReadWhole(bytes, &read);
    ExpectReadAsWritten(p, bytes.size(), read);
    EXPECT_STREQ(read.contents.Header.AppVersion, "2.5");
    Bytes licence = ToBytes(p.licence);
    licence.push_back(0);
    std::size_t licenceBlock =
        8 + (form == Form::kStored ? licence.size() : Deflate(licence).size());
    EXPECT_EQ(read.contents.DataOffset, 64u + 130u + licenceBlock) << "data after the licence";
  }
}

// Without files there is no file data block: the registry counts follow the
// file count directly.
TEST(WholePackageTest, NoFilesMeansNoFileDataBlock) {
  TestPackage p = RichPackage();
  p.files.clear();
  p.hasLicence = false;
  Bytes bytes = BuildPackage(p);
  WholeRead read;
  ReadWhole(bytes, &read);
  ExpectReadAsWritten(p, bytes.size(), read);
  EXPECT_EQ(read.contents.FileDataLength, 0u);
  EXPECT_EQ(read.contents.DataOffset, 64u + 130u) << "the data block follows the header";
}

// An interrupted download: the package cut at any byte, its trailer still in
// place. Every cut, in every field, is IDS_READ_FILE naming the setup executable,
// shown once; only the whole package reads.
TEST(WholePackageTest, ACutAtEveryByteGivesExactlyMessage8) {
  for (Form form : {Form::kCompressed, Form::kStored}) {
    TestPackage p = RichPackage(form);
    Bytes whole = BuildPackage(p);
    for (std::size_t length = 0; length < whole.size() - 4; ++length) {
      SCOPED_TRACE("cut after " + std::to_string(length) + " bytes");
      WholeRead read;
      ReadWhole(CutPackage(whole, length), &read);
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
  Bytes whole = BuildPackage(RichPackage());
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
      WholeRead read;
      ReadWhole(damaged, &read);
      EXPECT_FALSE(read.ok);
      ASSERT_EQ(read.boxes.size(), 1u);
      EXPECT_EQ(read.boxes[0].id, unsigned{IDS_UNCOMPRESS});
    }
  }
}

}  // namespace
}  // namespace testpkg
