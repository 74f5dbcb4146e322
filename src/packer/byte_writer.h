// Appends package fields one at a time, little-endian, whatever the host:
// the package never depends on how this compiler lays out a struct.
#ifndef VANTOREL_PACKER_BYTE_WRITER_H
#define VANTOREL_PACKER_BYTE_WRITER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace packer {

using Bytes = std::vector<std::uint8_t>;

class ByteWriter {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value));
    U8(static_cast<std::uint8_t>(value >> 8));
  }
  void U32(std::uint32_t value) {
    U16(static_cast<std::uint16_t>(value));
    U16(static_cast<std::uint16_t>(value >> 16));
  }
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  // A variable text and its NUL. The caller has checked that it holds none.
  void Text(const std::string& text) {
    Raw(text.data(), text.size());
    U8(0);
  }
  // A fixed field of `width` bytes: the text, then zeros (at least one).
  void Field(const std::string& text, std::size_t width) {
    Raw(text.data(), text.size());
    bytes_.resize(bytes_.size() + (width - text.size()), 0);
  }
  void Raw(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
  }
  void Raw(const Bytes& data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }

  std::size_t size() const { return bytes_.size(); }
  const Bytes& bytes() const { return bytes_; }
  Bytes Take() { return std::move(bytes_); }

 private:
  Bytes bytes_;
};

}  // namespace packer

#endif
