// The start of the package: the trailer at the end of the setup file gives
// the header's offset, and the 130-byte PackageHeader is read there.
#ifndef VANTOREL_PACKAGE_HEADER_READER_H
#define VANTOREL_PACKAGE_HEADER_READER_H

#include <stdint.h>

#include "package/package_header.h"
#include "package/package_input.h"
#include "package/program_image.h"

// Reads PackageTrailer, and so learns where the package data ends (the
// input's dataEnd). It is the file's last 4 bytes, unless the setup file is
// signed: when the program image's certificate table (Authenticode) ends
// exactly at the file's end, the trailer ends where the table starts, after
// the zero bytes that align the table (see FindSignedTrailer). Any other
// certificate entry leaves the last 4 bytes. IDS_READ_FILE when the file is too
// short, or a table at the end overlaps the image or has no trailer before
// it. `signedFile` tells whether the file carries a signature.
bool ReadPackageTrailer(PackageInput& input, uint32_t* headerOffset, bool* signedFile = nullptr);

// The package lies behind the setup program's own image: IDS_READ_FILE when the
// image's headers cannot be read or `headerOffset` points into the image
// (nothing was appended, and the program's own last bytes were taken for a
// trailer). The setup program and vtpack list/verify decide with this.
bool CheckPackageBehindImage(PackageInput& input, uint32_t headerOffset);

// Reads the header at `headerOffset` and leaves the file just after it.
// IDS_READ_FILE when the offset or the header lies beyond the package data.
bool ReadPackageHeader(PackageInput& input, uint32_t headerOffset, PackageHeader* header);

// The header from its stored image; every text ends inside its field, so it
// holds at most 30 characters even when the image had no NUL there.
void DecodePackageHeader(const unsigned char* image, PackageHeader* header);

#endif
