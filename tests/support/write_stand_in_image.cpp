// Writes the stand-in program image (StandInImage(), no section) to the
// file named, for the tests and scripts that are not C++.
#include <cstdio>

#include "stand_in_image.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_stand_in_image FILE\n");
    return 2;
  }
  std::vector<std::uint8_t> image = support::StandInImage();
  std::FILE* file = std::fopen(argv[1], "wb");
  if (!file || std::fwrite(image.data(), 1, image.size(), file) != image.size() ||
      std::fclose(file) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
