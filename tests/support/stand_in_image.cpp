#include "stand_in_image.h"

#include <algorithm>

namespace support {
namespace {

void Put(std::vector<std::uint8_t>& image, std::size_t offset, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) image[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::size_t OptionalHeaderSize(bool pe32Plus) { return pe32Plus ? 0xF0 : 0xE0; }
std::size_t DirectoriesOffset(bool pe32Plus) { return kOptionalHeader + (pe32Plus ? 112 : 96); }

}  // namespace

std::size_t SectionHeaderOffset(int index, bool pe32Plus) {
  return kOptionalHeader + OptionalHeaderSize(pe32Plus) + 40 * static_cast<std::size_t>(index);
}

std::size_t SecurityEntryOffset(bool pe32Plus) { return DirectoriesOffset(pe32Plus) + 4 * 8; }

std::vector<std::uint8_t> StandInImage(int sections, bool pe32Plus) {
  std::vector<std::uint8_t> image(kHeadersSize + kSectionSize * static_cast<std::size_t>(sections));
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
  image[0] = 'M';
  image[1] = 'Z';
  Put(image, 0x3C, kNtHeaders, 4);                           // e_lfanew
  Put(image, kNtHeaders, 0x00004550, 4);                     // "PE\0\0"
  Put(image, kNtHeaders + 4, pe32Plus ? 0x8664 : 0x14C, 2);  // Machine
  Put(image, kNtHeaders + 6, static_cast<std::uint32_t>(sections), 2);
  Put(image, kNtHeaders + 20, static_cast<std::uint32_t>(OptionalHeaderSize(pe32Plus)), 2);
  Put(image, kOptionalHeader, pe32Plus ? 0x20B : 0x10B, 2);  // Magic
  Put(image, kOptionalHeader + 60, kHeadersSize, 4);         // SizeOfHeaders
  Put(image, DirectoriesOffset(pe32Plus) - 4, 16, 4);        // NumberOfRvaAndSizes
  std::fill(image.begin() + static_cast<long>(DirectoriesOffset(pe32Plus)),
            image.begin() + static_cast<long>(DirectoriesOffset(pe32Plus) + 16 * 8), 0);
  for (int i = 0; i < sections; ++i) {
    std::size_t header = SectionHeaderOffset(i, pe32Plus);
    Put(image, header + 16, kSectionSize, 4);  // SizeOfRawData
    Put(image, header + 20, static_cast<std::uint32_t>(kHeadersSize + kSectionSize * i), 4);
  }
  return image;
}

}  // namespace support
