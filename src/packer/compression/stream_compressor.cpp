#include "packer/compression/stream_compressor.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <vector>

#include <zopfli/deflate.h>
#include <zopfli/util.h>

#include "packer/compression/deflate_blocks.h"

namespace packer {
namespace {

constexpr int kDefaultLevel = 6;  // as ZlibCompress
constexpr int kBestLevel = 12;
constexpr std::size_t kZopfliPart = ZOPFLI_MASTER_BLOCK_SIZE;
constexpr std::size_t kZopfliHistory = ZOPFLI_WINDOW_SIZE;
// An empty stored block at a byte boundary: header bits and padding, LEN,
// NLEN.
constexpr std::size_t kAlignedEmptyBlock = 5;

// RFC 1950's two header bytes, with the level hint libdeflate gives.
void ZlibHeader(Compression level, std::uint8_t header[2]) {
  unsigned levelHint = level == Compression::kDefault ? 2 : 3;
  unsigned value = 0x78 * 256 + levelHint * 64;
  value += 31 - value % 31;
  header[0] = static_cast<std::uint8_t>(value >> 8);
  header[1] = static_cast<std::uint8_t>(value);
}

// A piece's buffer: its history (zopfli) and its data. The first zopfli
// part has no history and fills the whole buffer.
std::size_t PieceCapacity(Compression level) {
  return level == Compression::kZopfli ? kZopfliHistory + kZopfliPart : kStreamChunk;
}

using Compressor = std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)>;

}  // namespace

bool SpansPieces(std::size_t size, Compression level) { return size > PieceCapacity(level); }

// A buffer for compressed bytes, kept for the next piece once written.
struct OutputBuffer {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t capacity = 0;
};

struct StreamCompressor::Piece {
  std::unique_ptr<std::uint8_t[]> input;
  std::size_t history = 0;  // zopfli: bytes before the part, for its matches
  std::size_t filled = 0;   // the history included
  // Made by the worker; a piece being filled has no output buffer.
  OutputBuffer output;
  std::size_t outputSize = 0;
  unsigned usedBits = 0;  // of the output's last byte; 0: all of them
  DeflateBlocks blocks;   // zopfli's, to move them to the stream's bit
  std::uint32_t adler = 1;
  Check problem;
  bool done = false;  // under Engine::mutex

  std::size_t DataSize() const { return filled - history; }
};

struct StreamCompressor::Engine {
  Engine(Compression level, WorkerPool& pool) : level(level), pool(pool), limit(pool.Size() + 1) {
    if (level == Compression::kZopfli) ZopfliInitOptions(&zopfliOptions);
    for (unsigned i = 0; i < pool.Size(); ++i)
      compressors.emplace_back(nullptr, &libdeflate_free_compressor);
  }

  const Compression level;
  WorkerPool& pool;
  const std::size_t limit;  // pieces in flight, the one being filled included
  ZopfliOptions zopfliOptions{};
  std::vector<Compressor> compressors;  // one per worker, made by that worker
  std::unique_ptr<Piece> filling;
  std::deque<std::unique_ptr<Piece>> inFlight;  // given to the workers, in stream order
  std::vector<std::unique_ptr<Piece>> spare;    // written; their buffers serve again
  std::vector<OutputBuffer> spareOutputs;
  // zopfli: the last 32 KiB of the data so far, the next part's history.
  std::uint8_t history[kZopfliHistory];
  std::size_t historySize = 0;
  std::atomic<bool> abandoned{false};
  std::mutex mutex;
  std::condition_variable pieceDone;
};

StreamCompressor::StreamCompressor(Compression level, WorkerPool& pool, Sink sink,
                                   std::string subject)
    : sink_(std::move(sink)),
      subject_(std::move(subject)),
      engine_(std::make_unique<Engine>(level, pool)) {}

StreamCompressor::~StreamCompressor() {
  Engine& e = *engine_;
  e.abandoned = true;
  std::unique_lock<std::mutex> lock(e.mutex);
  e.pieceDone.wait(lock, [&e] {
    return std::all_of(e.inFlight.begin(), e.inFlight.end(),
                       [](const auto& piece) { return piece->done; });
  });
}

Problem StreamCompressor::Fault(const std::string& what) const {
  return CompressionFailure(subject_, what);
}

void StreamCompressor::Compress(Piece& piece, unsigned worker) {
  Engine& e = *engine_;
  Check problem;
  if (!e.abandoned) {
    try {
      piece.adler = libdeflate_adler32(1, piece.input.get() + piece.history, piece.DataSize());
      problem = e.level == Compression::kZopfli ? CompressWithZopfli(piece)
                                                : CompressWithLibdeflate(piece, worker);
    } catch (const std::bad_alloc&) {
      problem = Fault("out of memory");
    } catch (const std::exception& error) {
      problem = Fault(error.what());
    }
  }
  std::lock_guard<std::mutex> lock(e.mutex);
  piece.problem = std::move(problem);
  piece.done = true;
  e.pieceDone.notify_all();
}

Check StreamCompressor::CompressWithLibdeflate(Piece& piece, unsigned worker) {
  Compressor& compressor = engine_->compressors[worker];
  if (!compressor) {
    compressor.reset(libdeflate_alloc_compressor(
        engine_->level == Compression::kBest ? kBestLevel : kDefaultLevel));
    if (!compressor) return Fault("out of memory");
  }
  OutputBuffer& output = piece.output;
  if (!output.bytes) {
    output.capacity = libdeflate_deflate_compress_bound(compressor.get(), kStreamChunk);
    output.bytes.reset(new std::uint8_t[output.capacity]);
  }
  const std::uint8_t* data = piece.input.get();
  std::size_t written = libdeflate_deflate_compress(compressor.get(), data, piece.filled,
                                                    output.bytes.get(), output.capacity);
  if (written == 0) return Fault("libdeflate's output exceeds its bound");
  auto read = ReadDeflateBlocks(output.bytes.get(), written, nullptr, 0, data, piece.filled);
  if (!read.ok()) return Fault(read.problem().message);
  const DeflateBlocks& blocks = read.value();
  if (!blocks.final) return Fault("a piece does not inflate to its data");
  // The last block is final no more: the next piece's blocks follow.
  std::uint64_t last = blocks.starts.back();
  output.bytes[last / 8] &= static_cast<std::uint8_t>(~(1u << (last % 8)));
  piece.outputSize = static_cast<std::size_t>((blocks.end + 7) / 8);
  piece.usedBits = static_cast<unsigned>(blocks.end % 8);
  return std::nullopt;
}

Check StreamCompressor::CompressWithZopfli(Piece& piece) {
  unsigned char bit = 0;
  unsigned char* out = nullptr;
  std::size_t outSize = 0;
  ZopfliDeflatePart(&engine_->zopfliOptions, 2, 0, piece.input.get(), piece.history, piece.filled,
                    &bit, &out, &outSize);
  std::unique_ptr<unsigned char, decltype(&std::free)> owned(out, &std::free);
  if (out == nullptr) return Fault("out of memory");
  auto blocks = ReadDeflateBlocks(out, outSize, piece.input.get(), piece.history,
                                  piece.input.get() + piece.history, piece.DataSize());
  if (!blocks.ok()) return Fault(blocks.problem().message);
  if (blocks.value().final ||
      blocks.value().end != std::uint64_t{outSize} * 8 - (bit == 0 ? 0 : 8 - bit))
    return Fault("a part does not inflate to its data");
  if (piece.output.capacity < outSize) {
    piece.output.bytes.reset(new std::uint8_t[outSize]);
    piece.output.capacity = outSize;
  }
  std::memcpy(piece.output.bytes.get(), out, outSize);
  piece.outputSize = outSize;
  piece.usedBits = bit;
  piece.blocks = std::move(blocks.value());
  return std::nullopt;
}

void StreamCompressor::Submit() {
  Engine& e = *engine_;
  Piece* piece = e.filling.get();
  if (e.level == Compression::kZopfli) {
    e.historySize = std::min(piece->filled, kZopfliHistory);
    std::memcpy(e.history, piece->input.get() + piece->filled - e.historySize, e.historySize);
  }
  {
    std::lock_guard<std::mutex> lock(e.mutex);
    piece->done = false;
    piece->problem.reset();
    e.inFlight.push_back(std::move(e.filling));
  }
  if (!e.spareOutputs.empty()) {
    piece->output = std::move(e.spareOutputs.back());
    e.spareOutputs.pop_back();
  }
  e.pool.Submit([this, piece](unsigned worker) { Compress(*piece, worker); });
}

Check StreamCompressor::StartPiece() {
  Engine& e = *engine_;
  while (e.inFlight.size() + 1 > e.limit) {
    bool written = false;
    if (auto problem = WriteOldest(true, &written)) return problem;
  }
  if (!e.spare.empty()) {
    e.filling = std::move(e.spare.back());
    e.spare.pop_back();
  } else {
    e.filling = std::make_unique<Piece>();
    e.filling->input.reset(new std::uint8_t[PieceCapacity(e.level)]);
  }
  Piece& piece = *e.filling;
  piece.history = e.historySize;
  std::memcpy(piece.input.get(), e.history, e.historySize);
  piece.filled = piece.history;
  return std::nullopt;
}

Check StreamCompressor::WriteOldest(bool wait, bool* written) {
  Engine& e = *engine_;
  *written = false;
  if (e.inFlight.empty()) return std::nullopt;
  Piece& piece = *e.inFlight.front();
  {
    std::unique_lock<std::mutex> lock(e.mutex);
    if (!piece.done && !wait) return std::nullopt;
    e.pieceDone.wait(lock, [&piece] { return piece.done; });
  }
  if (auto problem = WritePiece(piece)) return problem;
  e.spareOutputs.push_back(std::move(piece.output));
  piece.output = OutputBuffer{};
  e.spare.push_back(std::move(e.inFlight.front()));
  e.inFlight.pop_front();
  *written = true;
  return std::nullopt;
}

Check StreamCompressor::WritePiece(Piece& piece) {
  if (piece.problem) return piece.problem;
  if (auto problem = WriteHeader()) return problem;
  Check problem;
  if (engine_->level != Compression::kZopfli) {
    if (pendingBits_ != 0) problem = EmptyStoredBlock(false);
    if (!problem) problem = EmitBits(piece.output.bytes.get(), piece.outputSize, piece.usedBits);
  } else if (pendingBits_ == 0) {
    problem = EmitBits(piece.output.bytes.get(), piece.outputSize, piece.usedBits);
  } else {
    // The part goes on in the stream's last byte.
    Bytes joined{pendingByte_};
    unsigned used =
        AppendDeflateBlocks(joined, pendingBits_, piece.output.bytes.get(), piece.blocks);
    pendingBits_ = 0;
    problem = EmitBits(joined.data(), joined.size(), used);
  }
  if (problem) return problem;
  adler_ = static_cast<std::uint32_t>(
      adler32_combine(adler_, piece.adler, static_cast<z_off_t>(piece.DataSize())));
  dataWritten_ += piece.DataSize();
  return std::nullopt;
}

Check StreamCompressor::WriteHeader() {
  if (headerWritten_) return std::nullopt;
  std::uint8_t header[2];
  ZlibHeader(engine_->level, header);
  headerWritten_ = true;
  return Emit(header, sizeof header);
}

Check StreamCompressor::Emit(const std::uint8_t* bytes, std::size_t size) {
  if (size == 0) return std::nullopt;
  streamSize_ += size;
  return sink_(bytes, size);
}

Check StreamCompressor::EmitBits(const std::uint8_t* bytes, std::size_t size, unsigned usedBits) {
  if (size == 0) return std::nullopt;
  std::size_t whole = usedBits == 0 ? size : size - 1;
  pendingBits_ = usedBits;
  pendingByte_ =
      usedBits == 0 ? 0 : static_cast<std::uint8_t>(bytes[size - 1] & ((1u << usedBits) - 1));
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

Result<StreamCompressor::Room> StreamCompressor::Space() {
  Engine& e = *engine_;
  // A full piece is compressed only once more data comes.
  if (!e.filling || e.filling->filled == PieceCapacity(e.level)) {
    if (e.filling) Submit();
    if (auto problem = StartPiece()) return *problem;
  }
  for (bool written = true; written;) {
    if (auto problem = WriteOldest(false, &written)) return *problem;
  }
  Piece& piece = *e.filling;
  return Room{piece.input.get() + piece.filled, PieceCapacity(e.level) - piece.filled};
}

void StreamCompressor::Filled(std::size_t size) {
  engine_->filling->filled += size;
  dataSize_ += size;
}

Check StreamCompressor::Add(const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    auto room = Space();
    if (!room.ok()) return room.problem();
    std::size_t take = std::min(size, room.value().size);
    std::memcpy(room.value().data, data, take);
    Filled(take);
    data += take;
    size -= take;
  }
  return std::nullopt;
}

Check StreamCompressor::Finish(std::uint64_t before, std::uint64_t after, unsigned alignment) {
  Engine& e = *engine_;
  if (e.filling && e.filling->DataSize() > 0) Submit();
  while (!e.inFlight.empty()) {
    bool written = false;
    if (auto problem = WriteOldest(true, &written)) return problem;
  }
  if (auto problem = WriteHeader()) return problem;
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
