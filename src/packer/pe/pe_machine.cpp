#include "packer/pe/pe_machine.h"

#include "base/little_endian.h"
#include "package/memory_package_file.h"
#include "package/program_image.h"

namespace packer {
namespace {

// IMAGE_FILE_HEADER (program_image.h): Characteristics at 18.
constexpr std::uint64_t kCharacteristicsOffset = 18;
constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kCharacteristicDll = 0x2000;

}  // namespace

std::optional<ImageKind> ReadImageKind(PackageFile& image) {
  PeHeaders headers;
  std::uint8_t fileHeader[kFileHeaderSize];
  if (!ReadPeHeaders(image, &headers) || !image.Seek(headers.optionalHeader - kFileHeaderSize) ||
      !image.Read(fileHeader, sizeof fileHeader))
    return std::nullopt;
  ImageKind kind;
  switch (LoadU16(fileHeader + kMachineOffset)) {
    case kMachineI386:
      kind.architecture = Architecture::kX86;
      break;
    case kMachineAmd64:
      kind.architecture = Architecture::kX64;
      break;
    default:
      return std::nullopt;
  }
  kind.dll = (LoadU16(fileHeader + kCharacteristicsOffset) & kCharacteristicDll) != 0;
  return kind;
}

std::optional<ImageKind> ReadImageKind(const Bytes& image) {
  MemoryPackageFile file(image.data(), image.size());
  return ReadImageKind(file);
}

}  // namespace packer
