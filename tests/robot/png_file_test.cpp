// PNG files read back with a decoder written here from the format: the
// signature, every chunk's CRC, the header fields and the inflated rows.
#include "robot/png_file.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace {

uint32_t BigEndianAt(const std::vector<uint8_t>& bytes, size_t at) {
  return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 |
         uint32_t(bytes[at + 3]);
}

// Decodes what EncodePng writes; fails the test on any malformed part.
robot::Image Decode(const std::vector<uint8_t>& png) {
  const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_GE(png.size(), sizeof(signature));
  EXPECT_TRUE(std::equal(signature, signature + 8, png.begin()));
  robot::Image image;
  std::vector<uint8_t> compressed;
  std::vector<std::string> types;
  for (size_t at = 8; at + 12 <= png.size();) {
    uint32_t length = BigEndianAt(png, at);
    EXPECT_LE(at + 12 + length, png.size());
    if (at + 12 + length > png.size()) break;
    std::string type(png.begin() + long(at) + 4, png.begin() + long(at) + 8);
    types.push_back(type);
    uLong crc = crc32(0L, png.data() + at + 4, uInt(4 + length));
    EXPECT_EQ(BigEndianAt(png, at + 8 + length), crc) << type;
    const uint8_t* data = png.data() + at + 8;
    if (type == "IHDR") {
      EXPECT_EQ(length, 13u);
      image.width = int(BigEndianAt(png, at + 8));
      image.height = int(BigEndianAt(png, at + 12));
      EXPECT_EQ(std::vector<uint8_t>(data + 8, data + 13), (std::vector<uint8_t>{8, 2, 0, 0, 0}));
    } else if (type == "IDAT") {
      compressed.insert(compressed.end(), data, data + length);
    }
    at += 12 + length;
  }
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  size_t rowBytes = 1 + size_t(image.width) * 3;
  std::vector<uint8_t> rows(rowBytes * size_t(image.height));
  uLongf rowsSize = uLongf(rows.size());
  EXPECT_EQ(uncompress(rows.data(), &rowsSize, compressed.data(), uLong(compressed.size())), Z_OK);
  EXPECT_EQ(rowsSize, rows.size());
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* row = rows.data() + size_t(y) * rowBytes;
    EXPECT_EQ(row[0], 0) << "filter of row " << y;
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* rgb = row + 1 + x * 3;
      image.pixels.push_back(uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2]);
    }
  }
  return image;
}

robot::Image Gradient(int width, int height) {
  robot::Image image{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      image.pixels.push_back(uint32_t(x * 7919 + y * 104729) & 0xFFFFFF);
  }
  return image;
}

TEST(PngFile, EncodesEveryPixel) {
  const robot::Image images[] = {
      {1, 1, {0x123456}},
      {2, 1, {0xFF0000, 0x0000FF}},
      {1, 3, {0x00FF00, 0xFFFFFF, 0x000000}},
      Gradient(37, 23),
      Gradient(1024, 3),
  };
  for (const robot::Image& image : images) {
    SCOPED_TRACE(std::to_string(image.width) + "x" + std::to_string(image.height));
    robot::Image decoded = Decode(robot::EncodePng(image));
    EXPECT_EQ(decoded.width, image.width);
    EXPECT_EQ(decoded.height, image.height);
    EXPECT_EQ(decoded.pixels, image.pixels);
  }
}

TEST(PngFile, RefusesImagesWhoseSizeDoesNotMatch) {
  const robot::Image images[] = {
      {0, 0, {}}, {0, 5, {}}, {2, 2, {1, 2, 3}}, {1, 1, {1, 2}}, {-1, -1, {1}},
  };
  for (const robot::Image& image : images) {
    EXPECT_TRUE(robot::EncodePng(image).empty()) << image.width << "x" << image.height;
    EXPECT_FALSE(robot::WritePng("never-written.png", image));
  }
  EXPECT_EQ(std::fopen("never-written.png", "rb"), nullptr);
}

TEST(PngFile, WritesTheEncodedBytes) {
  robot::Image image = Gradient(16, 9);
  const std::string path = "png_file_test.png";
  ASSERT_TRUE(robot::WritePng(path, image));
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> written((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
  EXPECT_EQ(written, robot::EncodePng(image));
  file.close();
  std::remove(path.c_str());
  EXPECT_FALSE(robot::WritePng("no such folder/x.png", image));
}

}  // namespace
