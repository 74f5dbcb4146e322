#include "package/block_sizes.h"

#include <stdlib.h>

bool BlockBuffer::Allocate(uint32_t capacity) {
  Free();
  capacity_ = capacity;
  // malloc(0) may answer null; an empty block is not a failure.
  bytes_ = static_cast<unsigned char*>(malloc(capacity != 0 ? capacity : 1));
  return bytes_ != nullptr;
}

void BlockBuffer::Free() {
  free(bytes_);
  bytes_ = nullptr;
  length_ = 0;
  capacity_ = 0;
}

bool ReadBlockSizes(PackageInput& input, StoredBlock* block) {
  return ReadPackageU32(input, &block->CompressedSize) &&
         ReadPackageU32(input, &block->UncompressedSize);
}

bool CheckBlockSizes(PackageInput& input, const StoredBlock& block, bool compressed,
                     uint32_t* capacity, uint32_t largest) {
  if (block.UncompressedSize > largest || block.CompressedSize > largest) {
    ReportOutOfMemory(input);
    return false;
  }
  if ((compressed ? block.CompressedSize : block.UncompressedSize) > PackageBytesLeft(input)) {
    ReportReadFailure(input);
    return false;
  }
  *capacity = block.UncompressedSize;
  if (compressed) {
    uint64_t reachable = (static_cast<uint64_t>(block.CompressedSize) + 1) * kMostInflatedPerByte;
    if (*capacity > reachable) *capacity = static_cast<uint32_t>(reachable);
  }
  return true;
}
