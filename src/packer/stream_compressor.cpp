#include "packer/stream_compressor.h"

#include <libdeflate.h>
#include <zlib.h>
#include <zopfli/deflate.h>
#include <zopfli/util.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace packer {
namespace {

constexpr int kDefaultLevel = 6;  // as ZlibCompress
constexpr int kBestLevel = 12;
constexpr std::size_t kZopfliPart = ZOPFLI_MASTER_BLOCK_SIZE;
constexpr std::size_t kZopfliHistory = ZOPFLI_WINDOW_SIZE;
// An empty stored block at a byte boundary: header bits and padding, LEN,
// NLEN.
constexpr std::size_t kAlignedEmptyBlock = 5;

Problem CompressionFault(const std::string& what) {
  return Problem{"", "compressing the file data failed: " + what};
}

// RFC 1950's two header bytes, with the level hint libdeflate gives.
void ZlibHeader(Compression level, std::uint8_t header[2]) {
  unsigned levelHint = level == Compression::kDefault ? 2 : 3;
  unsigned value = 0x78 * 256 + levelHint * 64;
  value += 31 - value % 31;
  header[0] = static_cast<std::uint8_t>(value >> 8);
  header[1] = static_cast<std::uint8_t>(value);
}

// Where a raw deflate stream's last block starts and where the stream
// ends, found by inflating it, which also checks it against `data`.
struct DeflateEnd {
  std::size_t finalHeaderByte = 0;  // the byte holding the last block's final mark
  std::uint8_t finalHeaderMask = 1;
  std::size_t length = 0;           // bytes the stream uses
  unsigned usedBits = 0;            // bits used of its last byte; 0: all of them
};

Result<DeflateEnd> FindDeflateEnd(const std::uint8_t* stream, std::size_t size,
                                  const std::uint8_t* data, std::size_t dataSize) {
  z_stream inflater{};
  if (inflateInit2(&inflater, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
  inflater.next_in = const_cast<std::uint8_t*>(stream);
  inflater.avail_in = static_cast<uInt>(size);
  DeflateEnd end;
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
    bool lastBlock = (inflater.data_type & 64) != 0;
    unsigned unused = static_cast<unsigned>(inflater.data_type & 7);
    std::size_t consumed = size - inflater.avail_in;
    if (atBlockEnd && lastBlock) {
      end.length = consumed;
      end.usedBits = unused == 0 ? 0 : 8 - unused;
      done = true;
    } else if (atBlockEnd) {
      // The next block's header starts at the first bit not used.
      end.finalHeaderByte = unused == 0 ? consumed : consumed - 1;
      end.finalHeaderMask = static_cast<std::uint8_t>(unused == 0 ? 1 : 0x100 >> unused);
    } else if (result == Z_STREAM_END || (produced == 0 && inflater.avail_in == 0)) {
      break;
    }
  }
  inflateEnd(&inflater);
  if (!done || checked != dataSize) return CompressionFault("a chunk does not inflate to its data");
  return end;
}

}  // namespace

struct StreamCompressor::Engine {
  Compression level = Compression::kDefault;
  std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor{
      nullptr, &libdeflate_free_compressor};
  ZopfliOptions zopfliOptions{};
  std::unique_ptr<std::uint8_t[]> input;
  std::size_t capacity = 0;
  std::size_t history = 0;  // zopfli: bytes before the part, for its matches
  std::size_t filled = 0;
  std::unique_ptr<std::uint8_t[]> output;  // libdeflate's
  std::size_t outputSize = 0;
  bool headerWritten = false;
};

StreamCompressor::StreamCompressor(Compression level, Sink sink)
    : sink_(std::move(sink)), engine_(std::make_unique<Engine>()) {
  Engine& e = *engine_;
  e.level = level;
  if (level == Compression::kZopfli) {
    ZopfliInitOptions(&e.zopfliOptions);
    e.capacity = kZopfliHistory + kZopfliPart;
  } else {
    e.compressor.reset(libdeflate_alloc_compressor(level == Compression::kBest ? kBestLevel : kDefaultLevel));
    if (!e.compressor) throw std::bad_alloc();
    e.capacity = kStreamChunk;
    e.outputSize = libdeflate_deflate_compress_bound(e.compressor.get(), kStreamChunk);
    e.output.reset(new std::uint8_t[e.outputSize]);
  }
  e.input.reset(new std::uint8_t[e.capacity]);
}

StreamCompressor::~StreamCompressor() = default;

Check StreamCompressor::Emit(const std::uint8_t* bytes, std::size_t size) {
  if (size == 0) return std::nullopt;
  streamSize_ += size;
  return sink_(bytes, size);
}

Check StreamCompressor::EmitBits(const std::uint8_t* bytes, std::size_t size, unsigned usedBits) {
  if (size == 0) return std::nullopt;
  std::size_t whole = usedBits == 0 ? size : size - 1;
  pendingBits_ = usedBits;
  pendingByte_ = usedBits == 0 ? 0 : static_cast<std::uint8_t>(bytes[size - 1] & ((1u << usedBits) - 1));
  return Emit(bytes, whole);
}

std::size_t StreamCompressor::EmptyStoredBlockSize() const {
  // The three header bits spill into a new byte after 6 or 7 used bits.
  return pendingBits_ >= 6 ? kAlignedEmptyBlock + 1 : kAlignedEmptyBlock;
}

Check StreamCompressor::EmptyStoredBlock(bool final) {
  std::uint8_t block[kAlignedEmptyBlock + 1];
  std::size_t size = 0;
  // BFINAL, then BTYPE 00 (stored), padding to the byte boundary: zeros.
  block[size++] = static_cast<std::uint8_t>(pendingByte_ | (final ? 1u << pendingBits_ : 0));
  if (pendingBits_ >= 6) block[size++] = 0;
  const std::uint8_t lengths[] = {0x00, 0x00, 0xFF, 0xFF};  // LEN 0, NLEN
  std::memcpy(block + size, lengths, sizeof lengths);
  size += sizeof lengths;
  pendingBits_ = 0;
  pendingByte_ = 0;
  return Emit(block, size);
}

Check StreamCompressor::CompressBuffered() {
  Engine& e = *engine_;
  if (!e.headerWritten) {
    std::uint8_t header[2];
    ZlibHeader(e.level, header);
    e.headerWritten = true;
    if (auto problem = Emit(header, sizeof header)) return problem;
  }
  if (e.filled == e.history) return std::nullopt;
  if (e.level == Compression::kZopfli) {
    // zopfli appends to a buffer it grows itself, going on from the bit
    // where the stream so far ends.
    unsigned char bit = static_cast<unsigned char>(pendingBits_);
    unsigned char* out = nullptr;
    std::size_t outSize = 0;
    if (pendingBits_ != 0) {
      out = static_cast<unsigned char*>(std::malloc(1));
      if (out == nullptr) throw std::bad_alloc();
      out[0] = pendingByte_;
      outSize = 1;
    }
    ZopfliDeflatePart(&e.zopfliOptions, 2, 0, e.input.get(), e.history, e.filled, &bit, &out, &outSize);
    pendingBits_ = 0;  // `out` starts with the pending byte
    Check problem = EmitBits(out, outSize, bit);
    std::free(out);
    std::size_t keep = std::min(e.filled, kZopfliHistory);
    std::memmove(e.input.get(), e.input.get() + e.filled - keep, keep);
    e.history = e.filled = keep;
    return problem;
  }
  std::size_t written = libdeflate_deflate_compress(e.compressor.get(), e.input.get(), e.filled,
                                                    e.output.get(), e.outputSize);
  if (written == 0) return CompressionFault("libdeflate's output exceeds its bound");
  auto end = FindDeflateEnd(e.output.get(), written, e.input.get(), e.filled);
  if (!end.ok()) return end.problem();
  e.output[end.value().finalHeaderByte] &= static_cast<std::uint8_t>(~end.value().finalHeaderMask);
  e.filled = 0;
  if (pendingBits_ != 0) {
    if (auto problem = EmptyStoredBlock(false)) return problem;
  }
  return EmitBits(e.output.get(), end.value().length, end.value().usedBits);
}

Check StreamCompressor::Add(const std::uint8_t* data, std::size_t size) {
  Engine& e = *engine_;
  while (size > 0) {
    // A full buffer is compressed only once more data comes.
    if (e.filled == e.capacity) {
      if (auto problem = CompressBuffered()) return problem;
    }
    std::size_t take = std::min(size, e.capacity - e.filled);
    std::memcpy(e.input.get() + e.filled, data, take);
    adler_ = libdeflate_adler32(adler_, data, take);
    e.filled += take;
    dataSize_ += take;
    data += take;
    size -= take;
  }
  return std::nullopt;
}

std::uint64_t StreamCompressor::DataCompressed() const {
  return dataSize_ - (engine_->filled - engine_->history);
}

Check StreamCompressor::Finish(std::uint64_t before, std::uint64_t after, unsigned alignment) {
  if (auto problem = CompressBuffered()) return problem;
  constexpr std::size_t kCheckValueSize = 4;
  std::uint64_t length = before + streamSize_ + EmptyStoredBlockSize() + kCheckValueSize + after;
  unsigned blocks = 1;
  while (length % alignment != 0 && blocks < 8) {
    length += kAlignedEmptyBlock;
    ++blocks;
  }
  for (unsigned i = 1; i <= blocks; ++i) {
    if (auto problem = EmptyStoredBlock(i == blocks)) return problem;
  }
  const std::uint8_t check[kCheckValueSize] = {
      static_cast<std::uint8_t>(adler_ >> 24), static_cast<std::uint8_t>(adler_ >> 16),
      static_cast<std::uint8_t>(adler_ >> 8), static_cast<std::uint8_t>(adler_)};
  return Emit(check, sizeof check);
}

}  // namespace packer
