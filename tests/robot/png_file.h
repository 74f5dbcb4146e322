// Screenshots as PNG files: an image of 24-bit colours written with zlib.
// Plain code without Windows, so it is also built and tested natively.
#ifndef VANTOREL_TESTS_ROBOT_PNG_FILE_H
#define VANTOREL_TESTS_ROBOT_PNG_FILE_H

#include <cstdint>
#include <string>
#include <vector>

namespace robot {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
};

// The PNG file of `image` (8-bit RGB, no interlace); empty when the image is
// empty or its pixel count does not match its size.
std::vector<uint8_t> EncodePng(const Image& image);
bool WritePng(const std::string& path, const Image& image);

}  // namespace robot

#endif
