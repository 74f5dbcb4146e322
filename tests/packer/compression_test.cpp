// Every level writes a zlib stream that zlib's own uncompress reads back, and
// blocks are stored only where that is allowed and smaller.
#include "packer/compression/compression.h"

#include <zlib.h>

#include <random>

#include <gtest/gtest.h>

#include "test_package_writer.h"

using namespace packer;
using testpkg::Inflate;

namespace {

Bytes Sample(std::size_t size, bool random) {
  Bytes data(size);
  std::mt19937 generator(3);
  for (std::size_t i = 0; i < size; ++i)
    data[i] = random ? static_cast<std::uint8_t>(generator())
                     : static_cast<std::uint8_t>("abcabd"[i % 6] + i / 977);
  return data;
}

}  // namespace

TEST(Compression, EveryLevelWritesAStandardZlibStream) {
  for (Compression level : {Compression::kDefault, Compression::kBest, Compression::kZopfli}) {
    for (std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{4000}, std::size_t{70000}}) {
      Bytes data = Sample(size, false);
      auto compressed = ZlibCompress(data, level);
      ASSERT_TRUE(compressed.ok());
      const Bytes& stream = compressed.value();
      ASSERT_GE(stream.size(), 6u);
      EXPECT_EQ((stream[0] << 8 | stream[1]) % 31, 0);  // RFC 1950 header check
      EXPECT_EQ(stream[0] & 0x0F, 8);                   // deflate
      EXPECT_EQ(Inflate(stream, size), data) << size;
    }
  }
}

TEST(Compression, StoredOnlyWhereAllowedAndSmaller) {
  const struct {
    std::size_t size;
    bool random;
    bool storedAllowed;
    bool stored;
  } table[] = {
      {0, false, true, true},       // nothing: stored, no stream
      {3, false, true, true},       // shorter than any stream
      {50000, true, true, true},    // incompressible
      {50000, true, false, false},  // the uninstaller is always compressed
      {50000, false, true, false},  // text compresses
      {0, false, false, false},
  };
  for (const auto& row : table) {
    Bytes data = Sample(row.size, row.random);
    auto made = MakeBlockContent(data, Compression::kDefault, row.storedAllowed);
    ASSERT_TRUE(made.ok());
    const BlockContent& content = made.value();
    EXPECT_EQ(content.stored, row.stored) << row.size;
    if (content.stored) {
      EXPECT_EQ(content.stream, data);
    } else {
      EXPECT_EQ(Inflate(content.stream, row.size), data);
    }
  }
}
