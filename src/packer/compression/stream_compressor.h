// One zlib stream (RFC 1950) made from data given piece by piece, in memory
// that does not depend on how much data there is: the file data block of a
// package, whatever its size, and a licence or an uninstaller too large for
// one piece.
//
// libdeflate compresses whole buffers only, so the data is compressed in
// pieces of kStreamChunk bytes, each into deflate blocks of its own. A
// piece's last block is marked final by libdeflate; that mark is cleared
// (its place is found by inflating the piece with zlib, which also checks
// the piece against its input) and an empty stored block brings the next
// piece's blocks to a byte boundary, as zlib's gzjoin joins streams. Each
// piece starts without the previous one's last 32 KiB to refer to, which
// costs a few bytes per piece. zopfli continues one bit stream over parts
// of 1,000,000 bytes, as its own whole-buffer function does, each part
// referring to the 32 KiB before it: a part is compressed from bit 0 and
// its blocks are moved to the bit where the stream has got to when it is
// written (deflate_blocks.h).
//
// The pieces are independent, so each is compressed on a worker thread of
// a WorkerPool as soon as it is full, while the caller reads the next one;
// the caller's thread writes them in order, and the Adler-32 check value is
// combined from the pieces' own. The bytes do not depend on the number of
// workers.
//
// Memory: at most one piece more than the pool has workers is in flight
// (being filled, waiting for a worker, compressed, or waiting to be
// written). A piece holds its data (16 MiB; a zopfli part 1 MB) and, once
// full, a buffer for its compressed bytes (as large, used as far as the
// data shrinks). Each worker adds its compressor: a few MB
// for libdeflate, tens of MB while zopfli works on a part.
//
// The stream ends with empty stored blocks, the last one final: one to
// eight of them, as many as make the setup file a multiple of a given
// alignment long (Authenticode signing then pads nothing).
#ifndef VANTOREL_PACKER_STREAM_COMPRESSOR_H
#define VANTOREL_PACKER_STREAM_COMPRESSOR_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "packer/compression/compression.h"
#include "packer/compression/worker_pool.h"
#include "packer/problem.h"

namespace packer {

// The data compressed in one piece with libdeflate: 16 MiB.
constexpr std::size_t kStreamChunk = 16u << 20;

// Whether `size` bytes fill more than one piece at this level.
bool SpansPieces(std::size_t size, Compression level);

class StreamCompressor {
 public:
  // Takes the stream's bytes as they are made, in order, on the thread
  // that gives the data.
  using Sink = std::function<Check(const std::uint8_t* bytes, std::size_t size)>;
  struct Room {
    std::uint8_t* data;
    std::size_t size;
  };

  // `subject` names the data in messages ("the file data").
  StreamCompressor(Compression level, WorkerPool& pool, Sink sink,
                   std::string subject = "the file data");
  // Drops what is not written yet, once the workers are done with it.
  ~StreamCompressor();
  StreamCompressor(const StreamCompressor&) = delete;
  StreamCompressor& operator=(const StreamCompressor&) = delete;

  // Room for more data, at least one byte, where the caller may read it
  // directly. A full piece goes to the workers first, and pieces already
  // compressed are written; when as many pieces are in flight as allowed,
  // this waits for the oldest. A failure of a worker or of the sink is
  // reported here or by Finish, in the order of the stream.
  Result<Room> Space();
  // `size` bytes of the last Space() hold data now.
  void Filled(std::size_t size);
  // Space() and Filled() for data in memory.
  Check Add(const std::uint8_t* data, std::size_t size);
  // Ends the stream so that `before` + its length + `after` is a multiple
  // of `alignment` (1 to 8).
  Check Finish(std::uint64_t before, std::uint64_t after, unsigned alignment);

  std::uint64_t DataSize() const { return dataSize_; }
  // Bytes given to the sink so far; the whole stream after Finish.
  std::uint64_t StreamSize() const { return streamSize_; }

 private:
  struct Piece;
  struct Engine;
  Problem Fault(const std::string& what) const;
  // On a worker: compresses the piece and checks what it made.
  void Compress(Piece& piece, unsigned worker);
  Check CompressWithLibdeflate(Piece& piece, unsigned worker);
  Check CompressWithZopfli(Piece& piece);
  // The piece being filled goes to the workers.
  void Submit();
  // A piece to fill, once fewer than the most are in flight.
  Check StartPiece();
  // Writes the oldest piece in flight when it is done; `wait`: waits for it.
  // `*written` says whether it was written.
  Check WriteOldest(bool wait, bool* written);
  Check WritePiece(Piece& piece);
  Check Emit(const std::uint8_t* bytes, std::size_t size);
  // Appends the bytes of a bit stream that ends `usedBits` (0: none) into
  // its last byte; that byte waits for what follows.
  Check EmitBits(const std::uint8_t* bytes, std::size_t size, unsigned usedBits);
  // An empty stored block at the current bit position; after it the stream
  // is at a byte boundary. The number of bytes it takes (4 to 6).
  Check EmptyStoredBlock(bool final);
  std::size_t EmptyStoredBlockSize() const;
  Check WriteHeader();

  Sink sink_;
  std::string subject_;
  std::unique_ptr<Engine> engine_;
  std::uint64_t dataSize_ = 0;
  std::uint64_t dataWritten_ = 0;
  std::uint64_t streamSize_ = 0;
  std::uint32_t adler_ = 1;
  bool headerWritten_ = false;
  std::uint8_t pendingByte_ = 0;  // the stream's last, partly used byte
  unsigned pendingBits_ = 0;      // bits of it in use; 0: none is pending
};

}  // namespace packer

#endif
