// PNG layout (all numbers big-endian):
//   signature  89 50 4E 47 0D 0A 1A 0A
//   chunks     length (4) | type (4) | data (length) | CRC-32 of type+data (4)
//     IHDR     width, height (4 each), bit depth 8, colour type 2 (RGB),
//              compression 0, filter 0, interlace 0
//     IDAT     zlib stream of the rows, each row led by its filter byte
//              (0: none) and then R, G, B per pixel
//     IEND     empty
#include "robot/png_file.h"

#include <zlib.h>

#include <cstdio>

namespace robot {
namespace {

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
  PutBigEndian(out, uint32_t(data.size()));
  size_t typeStart = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, out.data() + typeStart, uInt(out.size() - typeStart));
  PutBigEndian(out, uint32_t(crc));
}

}  // namespace

std::vector<uint8_t> EncodePng(const Image& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != size_t(image.width) * size_t(image.height)) {
    return {};
  }
  std::vector<uint8_t> rows;
  rows.reserve(size_t(image.height) * (1 + size_t(image.width) * 3));
  for (int y = 0; y < image.height; ++y) {
    rows.push_back(0);
    for (int x = 0; x < image.width; ++x) {
      uint32_t pixel = image.pixels[size_t(y) * size_t(image.width) + size_t(x)];
      rows.push_back(uint8_t(pixel >> 16));
      rows.push_back(uint8_t(pixel >> 8));
      rows.push_back(uint8_t(pixel));
    }
  }
  std::vector<uint8_t> compressed(compressBound(uLong(rows.size())));
  uLongf compressedSize = uLongf(compressed.size());
  if (compress2(compressed.data(), &compressedSize, rows.data(), uLong(rows.size()),
                Z_BEST_SPEED) != Z_OK) {
    return {};
  }
  compressed.resize(compressedSize);

  std::vector<uint8_t> header;
  PutBigEndian(header, uint32_t(image.width));
  PutBigEndian(header, uint32_t(image.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", compressed);
  PutChunk(png, "IEND", {});
  return png;
}

bool WritePng(const std::string& path, const Image& image) {
  std::vector<uint8_t> png = EncodePng(image);
  if (png.empty()) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace robot
