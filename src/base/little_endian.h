// Little-endian integers inside byte images: the package, the time stamp
// image and executable headers store theirs this way, whatever the machine.
#ifndef VANTOREL_BASE_LITTLE_ENDIAN_H
#define VANTOREL_BASE_LITTLE_ENDIAN_H

#include <stdint.h>

inline uint16_t LoadU16(const unsigned char* bytes) {
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

inline uint32_t LoadU32(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

#endif
