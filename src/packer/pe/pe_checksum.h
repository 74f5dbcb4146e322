// The checksum field of a PE image's optional header, as the linker writes
// it and CheckSumMappedFile, signing tools and Windows compute it over a
// whole file: the 16-bit words summed with their carries folded back, the
// field itself left out, plus the file's length. vtpack writes it over the
// whole setup file, the package included, once the file is complete.
#ifndef VANTOREL_PACKER_PE_CHECKSUM_H
#define VANTOREL_PACKER_PE_CHECKSUM_H

#include <cstddef>
#include <cstdint>
#include <optional>

#include "packer/byte_writer.h"
#include "packer/file_io.h"

namespace packer {

class PeChecksum {
 public:
  // `field`: the file offset of the 4-byte checksum field.
  explicit PeChecksum(std::uint64_t field) : field_(field) {}
  // The file's next bytes.
  void Add(const std::uint8_t* bytes, std::size_t size);
  // The checksum of the bytes added so far.
  std::uint32_t Value() const;

 private:
  std::uint64_t field_;
  std::uint64_t length_ = 0;
  std::uint64_t words_ = 0;  // the plain sum of the words; folding it at the end gives the same
};

// Where the checksum field of a PE image lies; null when its headers cannot be read.
std::optional<std::uint64_t> PeChecksumField(const Bytes& image);

// Writes the checksum of the whole `file` into its field.
Check StampPeChecksum(AtomicOutput& file, std::uint64_t field);

}  // namespace packer

#endif
