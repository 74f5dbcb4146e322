#include "packer/pe_version.h"

#include "base/little_endian.h"

#include <algorithm>

namespace packer {
namespace {

constexpr std::uint32_t kResourceTypeVersion = 16;
constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000u;

// Bounds-checked little-endian reads from the image, each a small read of
// its own: the image need not be in memory.
class Image {
 public:
  Image(std::uint64_t size, const ImageReader& read) : size_(size), read_(read) {}
  bool Has(std::uint64_t offset, std::uint64_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }
  std::optional<std::uint32_t> U16(std::uint64_t offset) const {
    std::uint8_t bytes[2];
    if (!Has(offset, 2) || !read_(offset, bytes, 2)) return std::nullopt;
    return LoadU16(bytes);
  }
  std::optional<std::uint32_t> U32(std::uint64_t offset) const {
    std::uint8_t bytes[4];
    if (!Has(offset, 4) || !read_(offset, bytes, 4)) return std::nullopt;
    return LoadU32(bytes);
  }

 private:
  std::uint64_t size_;
  const ImageReader& read_;
};

struct Section {
  std::uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

// Maps an RVA to a file offset through the section table; `count` bytes
// from there must lie in the section's raw data.
std::optional<std::uint64_t> RvaToOffset(const Image& image, std::uint64_t sectionTable,
                                         unsigned sectionCount, std::uint32_t rva,
                                         std::uint32_t count) {
  for (unsigned i = 0; i < sectionCount; ++i) {
    std::uint64_t entry = sectionTable + 40ull * i;
    auto virtualSize = image.U32(entry + 8), virtualAddress = image.U32(entry + 12);
    auto rawSize = image.U32(entry + 16), rawOffset = image.U32(entry + 20);
    if (!virtualSize || !virtualAddress || !rawSize || !rawOffset) return std::nullopt;
    if (rva < *virtualAddress) continue;
    std::uint64_t inside = rva - *virtualAddress;
    if (inside >= *rawSize) continue;
    if (count > *rawSize - inside) return std::nullopt;
    return static_cast<std::uint64_t>(*rawOffset) + inside;
  }
  return std::nullopt;
}

// One level of the resource tree: the entry with `id`, or the first entry
// when `id` is empty. Returns its OffsetToData field.
std::optional<std::uint32_t> FindResourceEntry(const Image& image, std::uint64_t directory,
                                               std::optional<std::uint32_t> id) {
  auto named = image.U16(directory + 12), ids = image.U16(directory + 14);
  if (!named || !ids) return std::nullopt;
  unsigned total = *named + *ids;
  for (unsigned i = 0; i < total; ++i) {
    std::uint64_t entry = directory + 16 + 8ull * i;
    auto name = image.U32(entry), target = image.U32(entry + 4);
    if (!name || !target) return std::nullopt;
    if (!id || (!(*name & kSubdirectoryFlag) && *name == *id)) return *target;
  }
  return std::nullopt;
}

}  // namespace

std::optional<FileVersion> ReadPeFileVersion(const std::uint8_t* data, std::size_t size) {
  return ReadPeFileVersion(size, [data](std::uint64_t offset, std::uint8_t* out, std::size_t count) {
    std::copy(data + offset, data + offset + count, out);
    return true;
  });
}

std::optional<FileVersion> ReadPeFileVersion(std::uint64_t size, const ImageReader& read) {
  Image image(size, read);
  if (image.U16(0) != ('Z' << 8 | 'M')) return std::nullopt;
  auto pe = image.U32(0x3C);
  if (!pe || !image.Has(*pe, 24) || image.U32(*pe) != 0x00004550u) return std::nullopt;  // "PE\0\0"
  auto sectionCount = image.U16(*pe + 6), optionalSize = image.U16(*pe + 20);
  std::uint64_t optional = *pe + 24ull;
  auto magic = image.U16(optional);
  if (!sectionCount || !optionalSize || !magic) return std::nullopt;
  std::uint64_t directories;
  if (*magic == 0x10B) {
    directories = optional + 96;  // PE32
  } else if (*magic == 0x20B) {
    directories = optional + 112;  // PE32+
  } else {
    return std::nullopt;
  }
  auto directoryCount = image.U32(directories - 4);
  if (!directoryCount || *directoryCount < 3 || directories + 24 > optional + *optionalSize)
    return std::nullopt;
  auto resourceRva = image.U32(directories + 16);
  if (!resourceRva || *resourceRva == 0) return std::nullopt;
  std::uint64_t sectionTable = optional + *optionalSize;
  auto root = RvaToOffset(image, sectionTable, *sectionCount, *resourceRva, 16);
  if (!root) return std::nullopt;

  // type 16 -> first name -> first language -> data entry; offsets below the
  // first level are relative to the root and flagged as subdirectories.
  std::optional<std::uint32_t> id = kResourceTypeVersion;
  std::uint64_t directory = *root;
  std::optional<std::uint32_t> target;
  for (int level = 0; level < 3; ++level) {
    target = FindResourceEntry(image, directory, id);
    id.reset();
    if (!target) return std::nullopt;
    bool isDirectory = (*target & kSubdirectoryFlag) != 0;
    if (isDirectory != (level < 2)) return std::nullopt;
    directory = *root + (*target & ~kSubdirectoryFlag);
  }
  std::uint64_t dataEntry = *root + *target;
  auto dataRva = image.U32(dataEntry), dataSize = image.U32(dataEntry + 4);
  if (!dataRva || !dataSize || *dataSize < 92) return std::nullopt;
  // VS_VERSIONINFO: wLength, wValueLength, wType, L"VS_VERSION_INFO", padding
  // to 32 bits, VS_FIXEDFILEINFO (52 bytes).
  auto info = RvaToOffset(image, sectionTable, *sectionCount, *dataRva, *dataSize);
  if (!info) return std::nullopt;
  static const char kKey[] = "VS_VERSION_INFO";
  for (unsigned i = 0; i < sizeof kKey; ++i) {
    if (image.U16(*info + 6 + 2 * i) != static_cast<std::uint32_t>(kKey[i])) return std::nullopt;
  }
  std::uint64_t fixed = *info + 40;
  auto valueLength = image.U16(*info + 2);
  if (!valueLength || *valueLength < 52) return std::nullopt;
  if (image.U32(fixed) != kFixedFileInfoSignature) return std::nullopt;
  auto versionHigh = image.U32(fixed + 8), versionLow = image.U32(fixed + 12);
  if (!versionHigh || !versionLow) return std::nullopt;
  FileVersion version;
  version.major = static_cast<std::uint16_t>(*versionHigh >> 16);
  version.minor = static_cast<std::uint16_t>(*versionHigh);
  version.build = static_cast<std::uint16_t>(*versionLow >> 16);
  version.revision = static_cast<std::uint16_t>(*versionLow);
  return version;
}

}  // namespace packer
