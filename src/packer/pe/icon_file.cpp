#include "packer/pe/icon_file.h"

#include <cstring>
#include <string>

#include "base/little_endian.h"

namespace packer {
namespace {

// ICONDIR: reserved 0, type 1 (2 is a cursor), image count; then one
// 16-byte ICONDIRENTRY per image: width, height, colours, reserved,
// planes, bit count, bytes, file offset.
constexpr std::size_t kIconDirSize = 6;
constexpr std::size_t kIconEntrySize = 16;
constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kCursorType = 2;
const std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// BITMAPINFOHEADER and its later forms (V4, V5): biPlanes at 12, biBitCount at 14.
constexpr std::uint32_t kBitmapHeaderSizes[] = {40, 108, 124};

bool StartsWith(const Bytes& bytes, std::size_t offset, const std::uint8_t* prefix,
                std::size_t size) {
  return offset + size <= bytes.size() && std::memcmp(bytes.data() + offset, prefix, size) == 0;
}

// What a file that is not an icon is, when it is one of the common kinds.
std::string NotAnIcon(const Bytes& bytes) {
  if (StartsWith(bytes, 0, kPngSignature, sizeof kPngSignature))
    return "is a PNG picture, not an icon file (.ico); convert it to one (icotool -c, or an image "
           "editor)";
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
    return "is a BMP picture, not an icon file (.ico); convert it to one (icotool -c, or an image "
           "editor)";
  if (bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z')
    return "is a Windows program, not an icon file (.ico)";
  return "is not an icon file (.ico): it does not start with the bytes 00 00 01 00 that start one";
}

}  // namespace

Result<IconFile> ReadIconFile(const Bytes& bytes) {
  const std::uint8_t* b = bytes.data();
  if (bytes.size() < kIconDirSize || LoadU16(b) != 0) return Problem{"", NotAnIcon(bytes)};
  std::uint16_t type = LoadU16(b + 2);
  if (type == kCursorType) return Problem{"", "is a cursor (.cur), not an icon file (.ico)"};
  if (type != kIconType) return Problem{"", NotAnIcon(bytes)};
  std::size_t count = LoadU16(b + 4);
  if (count == 0) return Problem{"", "is an icon file that holds no image"};
  std::size_t directoryEnd = kIconDirSize + kIconEntrySize * count;
  if (directoryEnd > bytes.size())
    return Problem{"", "is cut short: the entries of its " + std::to_string(count) +
                           " images need " + std::to_string(directoryEnd) +
                           " bytes, the file has " + std::to_string(bytes.size())};
  IconFile icon;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = b + kIconDirSize + kIconEntrySize * i;
    const std::string which = "image " + std::to_string(i + 1) + " of " + std::to_string(count);
    std::uint32_t size = LoadU32(entry + 8), offset = LoadU32(entry + 12);
    if (size == 0) return Problem{"", "is a damaged icon file: its " + which + " is empty"};
    if (offset < directoryEnd || offset > bytes.size() || size > bytes.size() - offset)
      return Problem{"", "is a damaged icon file: its " + which + " lies outside the file"};
    IconImage image;
    image.width = entry[0];
    image.height = entry[1];
    image.colourCount = entry[2];
    image.planes = LoadU16(entry + 4);
    image.bitCount = LoadU16(entry + 6);
    image.data.assign(b + offset, b + offset + size);
    // Icon editors often leave planes and bit count 0 in the file; the
    // program's resources name them, taken from the image itself.
    if (StartsWith(bytes, offset, kPngSignature, sizeof kPngSignature)) {
      if (image.bitCount == 0) image.bitCount = 32;
    } else {
      std::uint32_t headerSize = size >= 16 ? LoadU32(b + offset) : 0;
      bool bitmap = false;
      for (std::uint32_t known : kBitmapHeaderSizes)
        bitmap = bitmap || (headerSize == known && size >= known);
      if (!bitmap)
        return Problem{"",
                       "is a damaged icon file: its " + which + " is neither a PNG nor a bitmap"};
      if (image.bitCount == 0) image.bitCount = LoadU16(b + offset + 14);
    }
    if (image.planes == 0) image.planes = 1;
    icon.images.push_back(std::move(image));
  }
  return icon;
}

}  // namespace packer
