// The file version of a Windows executable or DLL, read from its version
// resource the way Explorer shows it, without calling Windows: the PE headers,
// the resource directory (type 16, first name, first language) and the fixed
// part of VS_VERSIONINFO. Every offset is checked against the image: a
// truncated or hostile file gives "no version", never a read out of bounds.
#ifndef VANTOREL_PACKER_PE_VERSION_H
#define VANTOREL_PACKER_PE_VERSION_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace packer {

struct FileVersion {
  std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
  bool operator==(const FileVersion& o) const {
    return major == o.major && minor == o.minor && build == o.build && revision == o.revision;
  }
};

std::optional<FileVersion> ReadPeFileVersion(const std::uint8_t* image, std::size_t size);

// Reads `count` bytes at `offset` of an image into `out`; false when they
// cannot be read (the file shrank meanwhile, say).
using ImageReader = std::function<bool(std::uint64_t offset, std::uint8_t* out, std::size_t count)>;
// The same for an image of `size` bytes that is read a few bytes at a time
// (a few dozen small reads), whatever its size.
std::optional<FileVersion> ReadPeFileVersion(std::uint64_t size, const ImageReader& read);

}  // namespace packer

#endif
