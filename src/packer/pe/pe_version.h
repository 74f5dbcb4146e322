// The file version of a Windows executable or DLL, read from its version
// resource the way Explorer shows it, without calling Windows: the PE headers,
// the resource directory (type 16, first name, first language) and the fixed
// part of VS_VERSIONINFO. Every offset is checked against the image: a
// truncated or hostile file gives "no version", never a read out of bounds.
#ifndef VANTOREL_PACKER_PE_VERSION_H
#define VANTOREL_PACKER_PE_VERSION_H

#include <cstddef>
#include <cstdint>
#include <optional>

#include "package/package_file.h"
#include "packer/byte_writer.h"

namespace packer {

// VS_FIXEDFILEINFO, the value of a version resource's root block: its
// first field and its size.
constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedFileInfoSize = 52;

struct FileVersion {
  std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
  bool operator==(const FileVersion& o) const {
    return major == o.major && minor == o.minor && build == o.build && revision == o.revision;
  }
};

std::optional<FileVersion> ReadPeFileVersion(const std::uint8_t* image, std::size_t size);

// The same for an image read a few bytes at a time (a few dozen small
// reads), whatever its size: it need not be in memory.
std::optional<FileVersion> ReadPeFileVersion(PackageFile& image);

// The version resource's bytes (pe/version_info.h reads them); nullopt
// when the image has none.
std::optional<Bytes> ReadVersionResource(PackageFile& image);

}  // namespace packer

#endif
