// One zlib stream (RFC 1950) made from data given piece by piece, in memory
// that does not depend on how much data there is: the file data block of a
// package, whatever its size.
//
// libdeflate compresses whole buffers only, so the data is compressed in
// chunks of kStreamChunk bytes, each into deflate blocks of its own. A
// chunk's last block is marked final by libdeflate; that mark is cleared
// (its place is found by inflating the chunk with zlib, which also checks
// the chunk against its input) and an empty stored block brings the next
// chunk's blocks to a byte boundary, as zlib's gzjoin joins streams. Each
// chunk starts without the previous one's last 32 KiB to refer to, which
// costs a few bytes per chunk. zopfli continues one bit stream over parts
// of 1,000,000 bytes, as its own whole-buffer function does.
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

#include "packer/compression.h"
#include "packer/problem.h"

namespace packer {

// The data compressed in one piece with libdeflate: 16 MiB, so that input,
// output and compressor stay far below vtpack's memory target of 128 MB.
constexpr std::size_t kStreamChunk = 16u << 20;

class StreamCompressor {
 public:
  // Takes the stream's bytes as they are made, in order.
  using Sink = std::function<Check(const std::uint8_t* bytes, std::size_t size)>;

  StreamCompressor(Compression level, Sink sink);
  ~StreamCompressor();
  StreamCompressor(const StreamCompressor&) = delete;
  StreamCompressor& operator=(const StreamCompressor&) = delete;

  Check Add(const std::uint8_t* data, std::size_t size);
  // Ends the stream so that `before` + its length + `after` is a multiple
  // of `alignment` (1 to 8).
  Check Finish(std::uint64_t before, std::uint64_t after, unsigned alignment);

  std::uint64_t DataSize() const { return dataSize_; }
  // Of that, the bytes already compressed (the rest waits in the buffer).
  std::uint64_t DataCompressed() const;
  // Bytes given to the sink so far; the whole stream after Finish.
  std::uint64_t StreamSize() const { return streamSize_; }

 private:
  struct Engine;
  Check Emit(const std::uint8_t* bytes, std::size_t size);
  // Appends the bytes of a bit stream that ends `usedBits` (0: none) into
  // its last byte; that byte waits for what follows.
  Check EmitBits(const std::uint8_t* bytes, std::size_t size, unsigned usedBits);
  // An empty stored block at the current bit position; after it the stream
  // is at a byte boundary. The number of bytes it takes (4 to 6).
  Check EmptyStoredBlock(bool final);
  std::size_t EmptyStoredBlockSize() const;
  // Compresses what is buffered (the zlib header first, once).
  Check CompressBuffered();

  Sink sink_;
  std::unique_ptr<Engine> engine_;
  std::uint64_t dataSize_ = 0;
  std::uint64_t streamSize_ = 0;
  std::uint32_t adler_ = 1;
  std::uint8_t pendingByte_ = 0;  // the stream's last, partly used byte
  unsigned pendingBits_ = 0;      // bits of it in use; 0: none is pending
};

}  // namespace packer

#endif
