// The 44-byte DateTime image of a file record. The packer writes the
// broken-down fields in UTC with the stale byte 0, so the setup program uses
// them as they are (it takes them as universal time) and never converts
// through the installing machine's time zone.
#ifndef VANTOREL_PACKER_DATE_IMAGE_H
#define VANTOREL_PACKER_DATE_IMAGE_H

#include <cstdint>

#include "packer/byte_writer.h"

namespace packer {

void WriteDateTimeImage(ByteWriter& out, std::int64_t secondsSince1970);

}  // namespace packer

#endif
