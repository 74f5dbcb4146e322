// zlib streams (RFC 1950) for the package's stored blocks: what the setup
// program's `uncompress` reads.
#ifndef VANTOREL_PACKER_COMPRESSION_H
#define VANTOREL_PACKER_COMPRESSION_H

#include "packer/byte_writer.h"

namespace packer {

enum class Compression {
  kDefault,  // libdeflate level 6: fast, and about gzip -9's size
  kBest,     // libdeflate's highest level
  kZopfli,   // zopfli: smallest, slowest
};

Bytes ZlibCompress(const Bytes& data, Compression level);

// A StoredBlock ready to be framed: `stream` is a zlib stream, or, when the
// block may be stored and storing is smaller, the data itself (`stored`).
struct BlockContent {
  bool stored = false;
  Bytes stream;
};
BlockContent MakeBlockContent(const Bytes& data, Compression level, bool storedAllowed);

// The same for a block that may be stored, taking the data: it is kept as the
// block when storing is smaller, else freed before the stream is copied out of
// the compressor's buffer, whose pages are touched only as far as the stream
// reaches. So a large block is held at most as its data plus its stream.
BlockContent MakeStorableBlock(Bytes&& data, Compression level);

}  // namespace packer

#endif
