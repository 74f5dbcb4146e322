// zlib streams (RFC 1950) for the package's stored blocks: what the setup
// program inflates, accepting them as zlib's `uncompress` would.
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

}  // namespace packer

#endif
