// A Windows icon file (.ico), read as a program's resources carry it: each
// image's bytes and the entry that describes it. Everything is checked, so
// that a file that is not an icon is refused with the reason before any
// program image is changed.
#ifndef VANTOREL_PACKER_ICON_FILE_H
#define VANTOREL_PACKER_ICON_FILE_H

#include <cstdint>
#include <vector>

#include "packer/byte_writer.h"
#include "packer/problem.h"

namespace packer {

struct IconImage {
  std::uint8_t width = 0, height = 0;  // pixels; 0 means 256
  std::uint8_t colourCount = 0;        // 0 for 256 colours and more
  std::uint16_t planes = 1, bitCount = 0;
  Bytes data;  // a PNG, or a bitmap header with its colours and masks
};

struct IconFile {
  std::vector<IconImage> images;
};

// Larger icon files are refused: 256 by 256 pixels in 32 bits, uncompressed,
// take 270,376 bytes with their header and mask, and a program's icon has a
// handful of such images at most.
constexpr std::uint64_t kMostIconFile = 4 << 20;

// The Problem's message (without entry) says why the bytes are no icon:
// "is a PNG picture, not an icon file (.ico)", "is cut short: ...".
Result<IconFile> ReadIconFile(const Bytes& bytes);

}  // namespace packer

#endif
