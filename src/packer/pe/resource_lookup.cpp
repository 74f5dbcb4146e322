#include "packer/pe/resource_lookup.h"

#include "base/little_endian.h"
#include "package/program_image.h"

namespace packer {
namespace {

// Maps an RVA to a file offset through the section table; `count` bytes
// from there must lie in the section's raw data.
std::optional<std::uint64_t> RvaToOffset(PackageFile& file, const PeHeaders& headers,
                                         std::uint32_t rva, std::uint32_t count) {
  for (std::uint32_t i = 0; i < headers.sectionCount; ++i) {
    PeSection section;
    if (!ReadPeSection(file, headers, i, &section)) return std::nullopt;
    if (rva < section.virtualAddress) continue;
    std::uint64_t inside = rva - section.virtualAddress;
    if (inside >= section.rawSize) continue;
    if (count > section.rawSize - inside) return std::nullopt;
    return static_cast<std::uint64_t>(section.rawOffset) + inside;
  }
  return std::nullopt;
}

// One level of the resource tree: the entry with `id`, or the first entry
// when `id` is empty. Returns its OffsetToData field.
std::optional<std::uint32_t> FindResourceEntry(const ImageBytes& image, std::uint64_t directory,
                                               std::optional<std::uint32_t> id) {
  auto named = image.U16(directory + 12), ids = image.U16(directory + 14);
  if (!named || !ids) return std::nullopt;
  unsigned total = *named + *ids;
  for (unsigned i = 0; i < total; ++i) {
    std::uint64_t entry = directory + 16 + 8ull * i;
    auto name = image.U32(entry), target = image.U32(entry + 4);
    if (!name || !target) return std::nullopt;
    if (!id || (!(*name & kResourceSubdirectoryFlag) && *name == *id)) return *target;
  }
  return std::nullopt;
}

}  // namespace

bool ImageBytes::Read(std::uint64_t offset, std::uint8_t* bytes, std::uint32_t count) const {
  return offset <= file_.Size() && count <= file_.Size() - offset && file_.Seek(offset) &&
         file_.Read(bytes, count);
}

std::optional<std::uint32_t> ImageBytes::U16(std::uint64_t offset) const {
  std::uint8_t bytes[2];
  if (!Read(offset, bytes, sizeof bytes)) return std::nullopt;
  return LoadU16(bytes);
}

std::optional<std::uint32_t> ImageBytes::U32(std::uint64_t offset) const {
  std::uint8_t bytes[4];
  if (!Read(offset, bytes, sizeof bytes)) return std::nullopt;
  return LoadU32(bytes);
}

std::optional<ResourceData> FindFirstResource(PackageFile& file, std::uint32_t type) {
  const ImageBytes image(file);
  PeHeaders headers;
  std::uint32_t resourceRva, resourceSize;
  if (!ReadPeHeaders(file, &headers) ||
      !ReadPeDirectory(file, headers, kResourceDirectory, &resourceRva, &resourceSize) ||
      resourceRva == 0)
    return std::nullopt;
  auto root = RvaToOffset(file, headers, resourceRva, 16);
  if (!root) return std::nullopt;

  // type -> first name -> first language -> data entry; offsets below the
  // first level are relative to the root and flagged as subdirectories.
  std::optional<std::uint32_t> id = type;
  std::uint64_t directory = *root;
  std::optional<std::uint32_t> target;
  for (int level = 0; level < 3; ++level) {
    target = FindResourceEntry(image, directory, id);
    id.reset();
    if (!target) return std::nullopt;
    bool isDirectory = (*target & kResourceSubdirectoryFlag) != 0;
    if (isDirectory != (level < 2)) return std::nullopt;
    directory = *root + (*target & ~kResourceSubdirectoryFlag);
  }
  std::uint64_t dataEntry = *root + *target;
  auto dataRva = image.U32(dataEntry), dataSize = image.U32(dataEntry + 4);
  if (!dataRva || !dataSize) return std::nullopt;
  auto offset = RvaToOffset(file, headers, *dataRva, *dataSize);
  if (!offset) return std::nullopt;
  return ResourceData{*offset, *dataSize};
}

}  // namespace packer
