// StoredBlock reading and inflation, its three variants and its failures.
#include "package/stored_block.h"

#include <gtest/gtest.h>

#include "reader_test_support.h"

namespace testpkg {
namespace {

// A package file whose data is just this block.
Bytes BlockFile(std::uint32_t compressedSize, std::uint32_t uncompressedSize,
                const Bytes& payload) {
  TestWriter out;
  out.HeaderImage({});
  out.Block(compressedSize, uncompressedSize, payload);
  return out.Finish();
}

Bytes BlockFile(const Bytes& data, Form form) {
  TestWriter out;
  out.HeaderImage({});
  out.StoredBlock(data, form);
  return out.Finish();
}

struct BlockRead {
  bool ok;
  Bytes produced;
  std::vector<unsigned> messages;
};

BlockRead ReadBlock(const Bytes& file, StoredBlockVariant variant) {
  MemoryPackage package(file);
  package.file.Seek(64);
  MessageRecorder recorder;
  BlockBuffer block;
  bool ok = ReadStoredBlock(package.input, variant, &block);
  BlockRead result{ok, Bytes(block.Data(), block.Data() + block.Length()), recorder.Ids()};
  if (!ok) {
    EXPECT_EQ(block.Data(), nullptr) << "a failed read leaves no buffer";
  }
  for (const RecordedBox& box : recorder.Boxes()) {
    EXPECT_EQ(box.caption, kCaption);
    if (box.id == IDS_READ_FILE) {
      EXPECT_EQ(box.text, ReadErrorText());
    }
  }
  return result;
}

const StoredBlockVariant kAllVariants[] = {
    StoredBlockVariant::kLicence, StoredBlockVariant::kUninstaller, StoredBlockVariant::kFileData};

TEST(StoredBlockTest, CompressedBlocksInflateInEveryVariant) {
  Bytes data = ToBytes(std::string(5000, 'q') + "tail");
  for (StoredBlockVariant variant : kAllVariants) {
    BlockRead read = ReadBlock(BlockFile(data, Form::kCompressed), variant);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.produced, data);
    EXPECT_TRUE(read.messages.empty());
  }
}

TEST(StoredBlockTest, LicenceAndFileDataMayBeStored) {
  Bytes data = ToBytes("stored as it is");
  for (StoredBlockVariant variant : {StoredBlockVariant::kLicence, StoredBlockVariant::kFileData}) {
    BlockRead read = ReadBlock(BlockFile(data, Form::kStored), variant);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.produced, data);
  }
}

// The uninstaller is always inflated: CompressedSize 0 is an empty stream.
TEST(StoredBlockTest, UninstallerWithoutStreamIsAnUncompressError) {
  BlockRead read =
      ReadBlock(BlockFile(ToBytes("MZ"), Form::kStored), StoredBlockVariant::kUninstaller);
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(read.messages, std::vector<unsigned>{IDS_UNCOMPRESS});
}

TEST(StoredBlockTest, LicenceOfASingleNulIsEmpty) {
  MemoryPackage package(BlockFile(0, 1, Bytes{0}));
  package.file.Seek(64);
  BlockBuffer block;
  ASSERT_TRUE(ReadStoredBlock(package.input, StoredBlockVariant::kLicence, &block));
  EXPECT_EQ(block.Length(), 1u);
  EXPECT_STREQ(LicenceTextOf(block).Text(), "");
}

TEST(StoredBlockTest, LicenceTextEndsAtTheFirstNulOrAtTheBlocksEnd) {
  struct Case {
    Bytes bytes;
    const char* text;
  } cases[] = {
      {ToBytes(std::string("Line one\r\nLine two\0after", 24)), "Line one\r\nLine two"},
      {ToBytes("no terminator at all"), "no terminator at all"},
      {{}, ""},
  };
  for (const Case& c : cases) {
    for (Form form : {Form::kStored, Form::kCompressed}) {
      MemoryPackage package(BlockFile(c.bytes, form));
      package.file.Seek(64);
      BlockBuffer block;
      ASSERT_TRUE(ReadStoredBlock(package.input, StoredBlockVariant::kLicence, &block));
      EXPECT_STREQ(LicenceTextOf(block).Text(), c.text);
    }
  }
}

// A stream shorter than its stated size is accepted; the produced length
// tells how much it gave.
TEST(StoredBlockTest, AShortStreamProducesLessThanItsStatedSize) {
  Bytes data = ToBytes("only twenty-four bytes..");
  Bytes stream = Deflate(data);
  for (std::uint32_t stated : {25u, 1000u, 1u << 20}) {
    BlockRead read = ReadBlock(BlockFile(static_cast<std::uint32_t>(stream.size()), stated, stream),
                               StoredBlockVariant::kFileData);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.produced, data);
  }
}

TEST(StoredBlockTest, AStreamLongerThanItsStatedSizeIsAnUncompressError) {
  Bytes stream = Deflate(ToBytes("twenty-five bytes of text"));
  BlockRead read = ReadBlock(BlockFile(static_cast<std::uint32_t>(stream.size()), 24, stream),
                             StoredBlockVariant::kUninstaller);
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(read.messages, std::vector<unsigned>{IDS_UNCOMPRESS});
}

TEST(StoredBlockTest, AnEmptyStreamOfSizeZeroIsAnEmptyBlock) {
  BlockRead read = ReadBlock(BlockFile({}, Form::kCompressed), StoredBlockVariant::kUninstaller);
  EXPECT_TRUE(read.ok);
  EXPECT_TRUE(read.produced.empty());
}

// Every byte of the stream matters: its header, the deflate data and the
// Adler-32 check. Damage anywhere is IDS_UNCOMPRESS, never IDS_READ_FILE.
TEST(StoredBlockTest, EveryDamagedStreamByteGivesMessage12) {
  Bytes data = ToBytes("The quick brown fox jumps over the lazy dog, twice: the quick brown fox.");
  Bytes stream = Deflate(data);
  for (std::size_t i = 0; i < stream.size(); ++i) {
    SCOPED_TRACE("damaged byte " + std::to_string(i));
    Bytes damaged = stream;
    damaged[i] ^= 0xFF;
    BlockRead read = ReadBlock(BlockFile(static_cast<std::uint32_t>(damaged.size()),
                                         static_cast<std::uint32_t>(data.size()), damaged),
                               StoredBlockVariant::kFileData);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.messages, std::vector<unsigned>{IDS_UNCOMPRESS});
  }
}

struct SizeCase {
  const char* what;
  std::uint32_t compressedSize;
  std::uint32_t uncompressedSize;
  StoredBlockVariant variant;
  unsigned message;
};

// Sizes beyond what one buffer may hold are refused as an allocation failure
// before anything is allocated; sizes beyond the package's bytes as the
// short read they would be.
TEST(StoredBlockTest, AbsurdSizesAreRefusedBeforeAnyAllocation) {
  const SizeCase cases[] = {
      {"compressed size 4 GiB", 0xFFFFFFFFu, 10, StoredBlockVariant::kFileData, IDS_OUT_OF_MEMORY},
      {"uncompressed size 4 GiB", 10, 0xFFFFFFFFu, StoredBlockVariant::kUninstaller,
       IDS_OUT_OF_MEMORY},
      {"stored size 4 GiB", 0, 0xFFFFFFFFu, StoredBlockVariant::kLicence, IDS_OUT_OF_MEMORY},
      {"just above the largest block", 0, kLargestBlock + 1, StoredBlockVariant::kFileData,
       IDS_OUT_OF_MEMORY},
      {"compressed size past the end", 1u << 20, 10, StoredBlockVariant::kFileData, IDS_READ_FILE},
      {"stored size past the end", 0, 1u << 20, StoredBlockVariant::kFileData, IDS_READ_FILE},
      {"stored size one past the end", 0, 17, StoredBlockVariant::kLicence, IDS_READ_FILE},
      {"largest block, not there", 0, kLargestBlock, StoredBlockVariant::kFileData, IDS_READ_FILE},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(c.what);
    BlockRead read =
        ReadBlock(BlockFile(c.compressedSize, c.uncompressedSize, Bytes(16, 'p')), c.variant);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.messages, std::vector<unsigned>{c.message});
  }
}

TEST(StoredBlockTest, SizesCutOffGiveMessage8) {
  for (std::size_t length = 0; length < 8; ++length) {
    Bytes file = BlockFile(ToBytes("abc"), Form::kStored);
    BlockRead read = ReadBlock(CutPackage(file, 64 + length), StoredBlockVariant::kFileData);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.messages, std::vector<unsigned>{IDS_READ_FILE});
  }
}

// The output buffer is sized to what the stream can give at most; the most
// compressible data there is still fits whole.
TEST(StoredBlockTest, TheMostCompressibleStreamInflatesWhole) {
  Bytes zeros(8u << 20, 0);
  Bytes stream = Deflate(zeros);
  ASSERT_GT(zeros.size() / stream.size(), 1000u) << "the test needs a near-maximal ratio";
  BlockRead read = ReadBlock(BlockFile(static_cast<std::uint32_t>(stream.size()),
                                       static_cast<std::uint32_t>(zeros.size()), stream),
                             StoredBlockVariant::kFileData);
  EXPECT_TRUE(read.ok);
  EXPECT_EQ(read.produced.size(), zeros.size());
  EXPECT_EQ(read.produced, zeros);
}

}  // namespace
}  // namespace testpkg
