// zlib streams (RFC 1950) for the package's stored blocks: what the setup
// program inflates, accepting them as zlib's `uncompress` would.
#ifndef VANTOREL_PACKER_COMPRESSION_H
#define VANTOREL_PACKER_COMPRESSION_H

#include <string>

#include "packer/byte_writer.h"
#include "packer/problem.h"

namespace packer {

enum class Compression {
  kDefault,  // libdeflate level 6: fast, and about gzip -9's size
  kBest,     // libdeflate's highest level
  kZopfli,   // zopfli: smallest, slowest
};

// The Problem's message says what failed ("out of memory").
Result<Bytes> ZlibCompress(const Bytes& data, Compression level);

// A StoredBlock ready to be framed: `stream` is a zlib stream, or, when the
// block may be stored and storing is smaller, the data itself (`stored`).
struct BlockContent {
  bool stored = false;
  Bytes stream;
};
Result<BlockContent> MakeBlockContent(const Bytes& data, Compression level, bool storedAllowed);

// "compressing <subject> failed: <what>": how a compressor's failure reads,
// `subject` naming the data ("the file data", "the licence").
Problem CompressionFailure(const std::string& subject, const std::string& what);

}  // namespace packer

#endif
