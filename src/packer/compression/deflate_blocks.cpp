#include "packer/compression/deflate_blocks.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace packer {
namespace {

constexpr std::size_t kWindow = 32 * 1024;

// Up to 16 bits of `stream` from bit `position` on, the first in the lowest
// bit, as deflate orders them.
std::uint32_t BitsAt(const std::uint8_t* stream, std::size_t size, std::uint64_t position,
                     unsigned count) {
  std::size_t byte = static_cast<std::size_t>(position / 8);
  std::uint32_t value = 0;
  for (unsigned i = 0; i < 3 && byte + i < size; ++i)
    value |= static_cast<std::uint32_t>(stream[byte + i]) << (8 * i);
  return (value >> (position % 8)) & ((1u << count) - 1);
}

// The bytes of a bit stream, filled from the lowest bit of each byte.
class BitAppender {
 public:
  BitAppender(Bytes& out, unsigned usedBits) : out_(out), count_(usedBits) {
    if (usedBits != 0) {
      pending_ = out_.back() & ((1u << usedBits) - 1);
      out_.pop_back();
    }
  }
  void Put(std::uint32_t bits, unsigned count) {
    pending_ |= static_cast<std::uint64_t>(bits) << count_;
    count_ += count;
    for (; count_ >= 8; count_ -= 8, pending_ >>= 8)
      out_.push_back(static_cast<std::uint8_t>(pending_));
  }
  void PadToByte() {
    if (count_ != 0) Put(0, 8 - count_);
  }
  void Copy(const std::uint8_t* bytes, std::size_t size) {
    out_.insert(out_.end(), bytes, bytes + size);
  }
  // Writes out the partly used last byte; the bits in use of it.
  unsigned End() {
    unsigned used = count_;
    if (used != 0) out_.push_back(static_cast<std::uint8_t>(pending_));
    return used;
  }

 private:
  Bytes& out_;
  std::uint64_t pending_ = 0;
  unsigned count_;
};

}  // namespace

Result<DeflateBlocks> ReadDeflateBlocks(const std::uint8_t* stream, std::size_t size,
                                        const std::uint8_t* history, std::size_t historySize,
                                        const std::uint8_t* data, std::size_t dataSize) {
  const Problem wrong{"", "a piece does not inflate to its data"};
  z_stream inflater{};
  if (inflateInit2(&inflater, -MAX_WBITS) != Z_OK) return Problem{"", "out of memory"};
  std::size_t window = std::min(historySize, kWindow);
  if (window > 0 && inflateSetDictionary(&inflater, history + historySize - window,
                                         static_cast<uInt>(window)) != Z_OK) {
    inflateEnd(&inflater);
    return wrong;
  }
  inflater.next_in = const_cast<std::uint8_t*>(stream);
  inflater.avail_in = static_cast<uInt>(size);
  DeflateBlocks blocks;
  blocks.starts.push_back(0);
  std::uint8_t scratch[64 * 1024];
  std::size_t checked = 0;
  bool done = false;
  while (!done) {
    inflater.next_out = scratch;
    inflater.avail_out = sizeof scratch;
    // Z_BLOCK: back at every block's end, before the next block's header.
    int result = inflate(&inflater, Z_BLOCK);
    std::size_t produced = sizeof scratch - inflater.avail_out;
    if ((result != Z_OK && result != Z_STREAM_END) || produced > dataSize - checked ||
        std::memcmp(scratch, data + checked, produced) != 0) {
      break;
    }
    checked += produced;
    bool atBlockEnd = (inflater.data_type & 128) != 0;
    std::uint64_t position = std::uint64_t{size - inflater.avail_in} * 8 - (inflater.data_type & 7);
    if (atBlockEnd && ((inflater.data_type & 64) != 0 || inflater.avail_in == 0)) {
      blocks.end = position;
      blocks.final = (inflater.data_type & 64) != 0;
      done = true;
    } else if (atBlockEnd) {
      blocks.starts.push_back(position);
    } else if (result == Z_STREAM_END || (produced == 0 && inflater.avail_in == 0)) {
      break;
    }
  }
  inflateEnd(&inflater);
  if (!done || checked != dataSize) return wrong;
  return blocks;
}

unsigned AppendDeflateBlocks(Bytes& out, unsigned usedBits, const std::uint8_t* stream,
                             const DeflateBlocks& blocks) {
  std::size_t size = static_cast<std::size_t>((blocks.end + 7) / 8);
  out.reserve(out.size() + size + blocks.starts.size() + 1);
  BitAppender bits(out, usedBits);
  for (std::size_t i = 0; i < blocks.starts.size(); ++i) {
    std::uint64_t at = blocks.starts[i];
    std::uint64_t end = i + 1 < blocks.starts.size() ? blocks.starts[i + 1] : blocks.end;
    bool stored = BitsAt(stream, size, at + 1, 2) == 0;
    if (stored) {
      // BFINAL and BTYPE, padding, then LEN, NLEN and the data, whole bytes
      // that end at a byte boundary.
      bits.Put(BitsAt(stream, size, at, 3), 3);
      bits.PadToByte();
      std::size_t from = static_cast<std::size_t>((at + 3 + 7) / 8);
      bits.Copy(stream + from, static_cast<std::size_t>(end / 8) - from);
      continue;
    }
    for (; at < end; at += 16) {
      unsigned count = static_cast<unsigned>(std::min<std::uint64_t>(16, end - at));
      bits.Put(BitsAt(stream, size, at, count), count);
    }
  }
  return bits.End();
}

}  // namespace packer
