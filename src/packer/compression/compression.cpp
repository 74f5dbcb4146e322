#include "packer/compression/compression.h"

#include <libdeflate.h>

#include <cstdlib>
#include <memory>
#include <utility>

#include <zopfli/zopfli.h>

namespace packer {
namespace {

// libdeflate's level 6 already beats gzip -9's size on the benchmark corpus
// at about a tenth of its time; levels 7 to 9 gain under 1% for two to three
// times the time (scripts/bench-pack).
constexpr int kDefaultLevel = 6;
constexpr int kBestLevel = 12;

Result<Bytes> DeflateWithLibdeflate(const Bytes& data, int level) {
  std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
      libdeflate_alloc_compressor(level), &libdeflate_free_compressor);
  if (!compressor) return Problem{"", "out of memory"};
  Bytes out(libdeflate_zlib_compress_bound(compressor.get(), data.size()));
  std::size_t written =
      libdeflate_zlib_compress(compressor.get(), data.data(), data.size(), out.data(), out.size());
  if (written == 0) return Problem{"", "libdeflate's output exceeds its bound"};
  out.resize(written);
  return out;
}

Result<Bytes> DeflateWithZopfli(const Bytes& data) {
  ZopfliOptions options;
  ZopfliInitOptions(&options);
  unsigned char* stream = nullptr;
  std::size_t size = 0;
  ZopfliCompress(&options, ZOPFLI_FORMAT_ZLIB, data.data(), data.size(), &stream, &size);
  if (stream == nullptr) return Problem{"", "out of memory"};
  Bytes out(stream, stream + size);
  std::free(stream);
  return out;
}

}  // namespace

Result<Bytes> ZlibCompress(const Bytes& data, Compression level) {
  switch (level) {
    case Compression::kBest:
      return DeflateWithLibdeflate(data, kBestLevel);
    case Compression::kZopfli:
      return DeflateWithZopfli(data);
    case Compression::kDefault:
      break;
  }
  return DeflateWithLibdeflate(data, kDefaultLevel);
}

Result<BlockContent> MakeBlockContent(const Bytes& data, Compression level, bool storedAllowed) {
  auto stream = ZlibCompress(data, level);
  if (!stream.ok()) return stream.problem();
  BlockContent content;
  content.stream = std::move(stream.value());
  if (storedAllowed && content.stream.size() >= data.size()) {
    content.stored = true;
    content.stream = data;
  }
  return content;
}

Problem CompressionFailure(const std::string& subject, const std::string& what) {
  return Problem{"", "compressing " + subject + " failed: " + what};
}

}  // namespace packer
