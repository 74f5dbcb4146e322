// Where a resource lies in a Windows program's file, found as the loader
// finds a program's version and manifest: its type, the type's first name,
// that name's first language, and the data entry there. Every offset is
// checked against the file: a cut or hostile file gives nothing, never a
// read out of bounds.
#ifndef VANTOREL_PACKER_RESOURCE_LOOKUP_H
#define VANTOREL_PACKER_RESOURCE_LOOKUP_H

#include <cstdint>
#include <optional>

#include "package/package_file.h"

namespace packer {

// Bounds-checked little-endian reads from a program's file, each a small
// read of its own: the file need not be in memory.
class ImageBytes {
 public:
  explicit ImageBytes(PackageFile& file) : file_(file) {}
  std::optional<std::uint32_t> U16(std::uint64_t offset) const;
  std::optional<std::uint32_t> U32(std::uint64_t offset) const;

 private:
  bool Read(std::uint64_t offset, std::uint8_t* bytes, std::uint32_t count) const;
  PackageFile& file_;
};

constexpr std::uint32_t kIconResource = 3;        // RT_ICON
constexpr std::uint32_t kIconGroupResource = 14;  // RT_GROUP_ICON
constexpr std::uint32_t kVersionResource = 16;    // RT_VERSION
constexpr std::uint32_t kManifestResource = 24;   // RT_MANIFEST

// The file offset and size of the first resource of `type`, its bytes
// within one section's raw data.
struct ResourceData {
  std::uint64_t offset = 0;
  std::uint32_t size = 0;
};
std::optional<ResourceData> FindFirstResource(PackageFile& file, std::uint32_t type);

}  // namespace packer

#endif
