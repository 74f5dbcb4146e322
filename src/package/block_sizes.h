// A block's framing: a compressed size and an uncompressed size before its
// bytes (the licence text, the uninstaller and the file data), and the
// buffer that holds what a block produced.
//
// Sizes come from the package and are not trusted. Each is checked before
// anything is allocated or read, first against the most one buffer may take
// (IDS_OUT_OF_MEMORY beyond it: the 32-bit setup program could not hold such a
// block next to its input), then against the bytes left before the trailer
// (IDS_READ_FILE: the package is too short to hold the block). The output buffer
// of a compressed block is no larger than its stream can ever fill, so a
// small stream that claims a huge size cannot make the program commit that
// much memory; the stream produces exactly what it would have produced.
#ifndef VANTOREL_PACKAGE_BLOCK_SIZES_H
#define VANTOREL_PACKAGE_BLOCK_SIZES_H

#include <stdint.h>

#include "package/package_input.h"

struct StoredBlock {
  uint32_t CompressedSize;
  uint32_t UncompressedSize;
};

// The most bytes one block buffer may take.
constexpr uint32_t kLargestBlock = 1u << 30;
// Deflate turns one input byte into at most 1032 output bytes (a 258-byte
// match coded in two bits).
constexpr uint32_t kMostInflatedPerByte = 1032;

// The bytes a block produced. Owns its buffer.
class BlockBuffer {
 public:
  BlockBuffer() = default;
  ~BlockBuffer() { Free(); }
  BlockBuffer(const BlockBuffer&) = delete;
  BlockBuffer& operator=(const BlockBuffer&) = delete;

  // Room for `capacity` bytes, length 0; false when memory is short.
  bool Allocate(uint32_t capacity);
  void Free();

  unsigned char* Data() { return bytes_; }
  const unsigned char* Data() const { return bytes_; }
  uint32_t Length() const { return length_; }
  void SetLength(uint32_t length) { length_ = length; }
  uint32_t Capacity() const { return capacity_; }

 private:
  unsigned char* bytes_ = nullptr;
  uint32_t length_ = 0;
  uint32_t capacity_ = 0;
};

// The two sizes at the current position (IDS_READ_FILE when they are cut off).
bool ReadBlockSizes(PackageInput& input, StoredBlock* block);
// Checks a block's sizes as described above (IDS_OUT_OF_MEMORY and
// IDS_READ_FILE) and gives the most bytes it may produce: UncompressedSize,
// or for a stream no more than it can ever fill. A compressed block's
// stream must fit before the trailer, a stored block's bytes likewise. A
// reader that never holds the block whole gives a larger `largest`.
bool CheckBlockSizes(PackageInput& input, const StoredBlock& block, bool compressed,
                     uint32_t* capacity, uint32_t largest = kLargestBlock);

#endif
