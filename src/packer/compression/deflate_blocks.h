// The deflate blocks (RFC 1951) of what one compressor call wrote from bit
// 0 of a fresh buffer: where each block starts, found by inflating them with
// zlib, which also checks them against their input; and the same blocks
// appended to a bit stream at any bit position, bit for bit as a compressor
// that went on from that position would have written them. A stored block
// alone depends on the position: its header is followed by padding to the
// next byte boundary.
#ifndef VANTOREL_PACKER_DEFLATE_BLOCKS_H
#define VANTOREL_PACKER_DEFLATE_BLOCKS_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "packer/byte_writer.h"
#include "packer/problem.h"

namespace packer {

struct DeflateBlocks {
  std::vector<std::uint64_t> starts;  // the bit where each block's header starts
  std::uint64_t end = 0;              // the bit after the last block
  bool final = false;                 // the last block carries the final mark
};

// The blocks of `stream`, which must inflate to exactly `data`, referring to
// at most the last 32 KiB of `history` before it. It ends with a final
// block, or with the last block that ends in its last byte. The Problem
// says that the piece does not inflate to `data`, or that memory ran out.
Result<DeflateBlocks> ReadDeflateBlocks(const std::uint8_t* stream, std::size_t size,
                                        const std::uint8_t* history, std::size_t historySize,
                                        const std::uint8_t* data, std::size_t dataSize);

// Appends the blocks of `stream` to `out`, a bit stream whose last byte has
// `usedBits` bits in use (0: it ends at a byte boundary). Returns the bits
// in use of its new last byte, unused bits zero.
unsigned AppendDeflateBlocks(Bytes& out, unsigned usedBits, const std::uint8_t* stream,
                             const DeflateBlocks& blocks);

}  // namespace packer

#endif
