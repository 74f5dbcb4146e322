// The start of the package: the trailer at the end of the setup file gives
// the header's offset, and the 130-byte PackageHeader is read there.
#ifndef VANTOREL_PACKAGE_HEADER_READER_H
#define VANTOREL_PACKAGE_HEADER_READER_H

#include <stdint.h>

#include "package/package_header.h"
#include "package/package_input.h"

// Reads PackageTrailer from the file's last 4 bytes. Message 8 when the file
// is shorter than that.
bool ReadPackageTrailer(PackageInput& input, uint32_t* headerOffset);

// The end of the program image at the start of the file (its headers and
// sections, as its PE headers give them), read from the file itself with
// every read bounds-checked. False when those headers are malformed or cut.
bool ReadProgramImageEnd(PackageFile& file, uint64_t* end);

// The package lies behind the setup program's own image: message 8 when the
// image's headers cannot be read or `headerOffset` points into the image
// (nothing was appended, and the program's own last bytes were taken for a
// trailer). The setup program and vtpack list/verify decide with this.
bool CheckPackageBehindImage(PackageInput& input, uint32_t headerOffset);

// Reads the header at `headerOffset` and leaves the file just after it.
// Message 8 when the offset or the header lies beyond the package data.
bool ReadPackageHeader(PackageInput& input, uint32_t headerOffset, PackageHeader* header);

// The header from its stored image; every text ends inside its field, so it
// holds at most 30 characters even when the image had no NUL there.
void DecodePackageHeader(const unsigned char* image, PackageHeader* header);

#endif
