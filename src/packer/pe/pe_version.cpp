#include "packer/pe/pe_version.h"

#include "package/memory_package_file.h"
#include "packer/pe/resource_lookup.h"

namespace packer {

std::optional<FileVersion> ReadPeFileVersion(const std::uint8_t* data, std::size_t size) {
  MemoryPackageFile file(data, size);
  return ReadPeFileVersion(file);
}

std::optional<FileVersion> ReadPeFileVersion(PackageFile& file) {
  ImageBytes image(file);
  // VS_VERSIONINFO: wLength, wValueLength, wType, L"VS_VERSION_INFO", padding
  // to 32 bits, VS_FIXEDFILEINFO (52 bytes).
  auto resource = FindFirstResource(file, kVersionResource);
  if (!resource || resource->size < 92) return std::nullopt;
  const std::uint64_t info = resource->offset;
  static const char kKey[] = "VS_VERSION_INFO";
  for (unsigned i = 0; i < sizeof kKey; ++i) {
    if (image.U16(info + 6 + 2 * i) != static_cast<std::uint32_t>(kKey[i])) return std::nullopt;
  }
  std::uint64_t fixed = info + 40;
  auto valueLength = image.U16(info + 2);
  if (!valueLength || *valueLength < kFixedFileInfoSize) return std::nullopt;
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

std::optional<Bytes> ReadVersionResource(PackageFile& file) {
  auto resource = FindFirstResource(file, kVersionResource);
  // VS_VERSIONINFO's length is 16 bits.
  if (!resource || resource->size > 0xFFFF || !file.Seek(resource->offset)) return std::nullopt;
  Bytes data(resource->size);
  if (!file.Read(data.data(), resource->size)) return std::nullopt;
  return data;
}

}  // namespace packer
