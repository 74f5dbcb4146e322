// The file data stream: a standard zlib stream whatever the data's size
// against the pieces' size, the same bytes whatever the number of workers,
// and zopfli's parts joined at any bit as zopfli itself would join them.
#include "packer/compression/stream_compressor.h"

#include <zlib.h>

#include <cstdlib>
#include <random>

#include <gtest/gtest.h>
#include <zopfli/deflate.h>

#include "packer/compression/deflate_blocks.h"
#include "test_package_writer.h"

using namespace packer;
using testpkg::Inflate;

namespace {

// Text that compresses, with a stretch of noise that does not (stored
// blocks); `zeros` instead of text where zopfli must be quick.
Bytes Sample(std::size_t size, bool zeros = false) {
  Bytes data(size);
  std::mt19937 random(11);
  for (std::size_t i = 0; i < size; ++i) {
    bool noise = i % 3000000 >= 900000 && i % 3000000 < 970000;
    data[i] = noise   ? static_cast<std::uint8_t>(random())
              : zeros ? 0
                      : static_cast<std::uint8_t>("vantorel "[i % 9] + i / 50000 % 7);
  }
  return data;
}

struct Stream {
  Bytes bytes;
  Check problem;
};

Stream Compress(const Bytes& data, Compression level, unsigned jobs, std::uint64_t before = 0) {
  WorkerPool pool(jobs);
  Stream out;
  StreamCompressor stream(level, pool, [&out](const std::uint8_t* bytes, std::size_t size) {
    out.bytes.insert(out.bytes.end(), bytes, bytes + size);
    return Check{};
  });
  out.problem = stream.Add(data.data(), data.size());
  if (!out.problem) out.problem = stream.Finish(before, 3, 8);
  EXPECT_EQ(stream.StreamSize(), out.bytes.size());
  return out;
}

}  // namespace

// Empty, one byte, exactly one piece, a byte more, pieces and a bit: each a
// standard stream of its data, aligned, and byte for byte the same with one
// worker or three.
TEST(StreamCompressor, PiecesAtTheirBoundariesGiveTheSameStreamForAnyWorkers) {
  const struct {
    Compression level;
    std::size_t size;
  } table[] = {
      {Compression::kDefault, 0},
      {Compression::kDefault, 1},
      {Compression::kDefault, kStreamChunk},
      {Compression::kDefault, kStreamChunk + 1},
      {Compression::kDefault, 2 * kStreamChunk + 1000},
      {Compression::kBest, 100000},
      // zopfli's first part holds 1,032,768 bytes, the next ones 1,000,000.
      {Compression::kZopfli, 1032768},
      {Compression::kZopfli, 2032769},
  };
  for (const auto& row : table) {
    Bytes data = Sample(row.size, row.level == Compression::kZopfli);
    Stream one = Compress(data, row.level, 1, 5);
    Stream three = Compress(data, row.level, 3, 5);
    ASSERT_FALSE(one.problem) << one.problem->message;
    ASSERT_FALSE(three.problem) << three.problem->message;
    EXPECT_EQ(one.bytes, three.bytes) << row.size;
    EXPECT_EQ((5 + one.bytes.size() + 3) % 8, 0u) << row.size;
    EXPECT_EQ(Inflate(one.bytes, data.size()), data) << row.size;
  }
}

// A part compressed from bit 0 and moved to bit 1 to 7 is what zopfli
// writes going on from that bit; stored blocks (the noise) are padded anew.
TEST(DeflateBlocks, MovedBlocksAreWhatZopfliWritesFromThatBit) {
  Bytes sample = Sample(1000000, true);
  Bytes data(sample.begin() + 895000, sample.begin() + 935000);  // zeros, then noise
  ZopfliOptions options;
  ZopfliInitOptions(&options);
  auto zopfli = [&](unsigned char bit, std::uint8_t pending, unsigned* used) {
    unsigned char* out = nullptr;
    std::size_t size = 0;
    if (bit != 0) {
      out = static_cast<unsigned char*>(std::malloc(1));
      out[0] = pending;
      size = 1;
    }
    ZopfliDeflatePart(&options, 2, 0, data.data(), 0, data.size(), &bit, &out, &size);
    Bytes bytes(out, out + size);
    std::free(out);
    *used = bit;
    return bytes;
  };
  unsigned freshBits = 0;
  Bytes fresh = zopfli(0, 0, &freshBits);
  auto read = ReadDeflateBlocks(fresh.data(), fresh.size(), nullptr, 0, data.data(), data.size());
  ASSERT_TRUE(read.ok());
  const DeflateBlocks& blocks = read.value();
  EXPECT_FALSE(blocks.final);
  EXPECT_EQ(blocks.end, fresh.size() * 8 - (freshBits == 0 ? 0 : 8 - freshBits));
  auto bitAt = [&fresh](std::uint64_t i) { return fresh[i / 8] >> (i % 8) & 1; };
  std::size_t stored = 0;
  for (std::uint64_t start : blocks.starts)
    stored += bitAt(start + 1) == 0 && bitAt(start + 2) == 0;
  EXPECT_GE(stored, 1u);
  for (unsigned bit = 1; bit < 8; ++bit) {
    std::uint8_t pending = static_cast<std::uint8_t>(0xA5 & ((1u << bit) - 1));
    unsigned expectedBits = 0;
    Bytes expected = zopfli(static_cast<unsigned char>(bit), pending, &expectedBits);
    Bytes moved = {pending};
    EXPECT_EQ(AppendDeflateBlocks(moved, bit, fresh.data(), blocks), expectedBits) << bit;
    EXPECT_EQ(moved, expected) << bit;
  }
}

// A stream that does not inflate to its data is refused.
TEST(DeflateBlocks, StreamOfOtherDataIsRefused) {
  Bytes data = Sample(5000);
  Bytes stream(compressBound(data.size()));
  uLongf size = stream.size();
  ASSERT_EQ(compress(stream.data(), &size, data.data(), data.size()), Z_OK);
  // Without the zlib header and check value: the raw deflate blocks.
  EXPECT_TRUE(
      ReadDeflateBlocks(stream.data() + 2, size - 6, nullptr, 0, data.data(), data.size()).ok());
  data[4000] ^= 1;
  EXPECT_FALSE(
      ReadDeflateBlocks(stream.data() + 2, size - 6, nullptr, 0, data.data(), data.size()).ok());
}
