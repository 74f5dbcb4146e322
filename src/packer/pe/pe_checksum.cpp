#include "packer/pe/pe_checksum.h"

#include "package/memory_package_file.h"
#include "package/program_image.h"

namespace packer {

void PeChecksum::Add(const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i, ++length_) {
    if (length_ >= field_ && length_ < field_ + 4) continue;
    words_ += (length_ % 2 == 0) ? bytes[i] : std::uint64_t{bytes[i]} << 8;
  }
}

std::uint32_t PeChecksum::Value() const {
  // Adding with the carry folded back keeps the sum below 0x10000 and equal
  // to the plain sum modulo 0xFFFF, and 0 only while every word is 0.
  std::uint64_t folded = words_ == 0 ? 0 : (words_ - 1) % 0xFFFF + 1;
  return static_cast<std::uint32_t>(folded + length_);
}

std::optional<std::uint64_t> PeChecksumField(const Bytes& image) {
  MemoryPackageFile file(image.data(), image.size());
  PeHeaders headers;
  if (!ReadPeHeaders(file, &headers) || headers.optionalSize < kChecksumOffset + 4 ||
      headers.optionalHeader + kChecksumOffset + 4 > image.size())
    return std::nullopt;
  return headers.optionalHeader + kChecksumOffset;
}

Check StampPeChecksum(AtomicOutput& file, std::uint64_t field) {
  PeChecksum checksum(field);
  if (auto problem = file.ReadBack(
          [&](const std::uint8_t* bytes, std::size_t size) { checksum.Add(bytes, size); }))
    return problem;
  ByteWriter value;
  value.U32(checksum.Value());
  return file.WriteAt(field, value.bytes().data(), value.size());
}

}  // namespace packer
