// The setup program's own image at the start of the setup file, as its PE
// headers (PE32 or PE32+) describe it, read from the file itself with every
// read bounds-checked: where the image ends, and its Authenticode
// certificate table when it is signed.
#ifndef VANTOREL_PACKAGE_PROGRAM_IMAGE_H
#define VANTOREL_PACKAGE_PROGRAM_IMAGE_H

#include <stdint.h>

#include "package/package_file.h"

struct ProgramImage {
  uint64_t end = 0;  // after its headers and its last section's bytes
  // The security entry of the data directories: a file offset and a size
  // (0, 0 when the image is not signed). Unchecked.
  uint64_t certificateOffset = 0;
  uint32_t certificateSize = 0;
};

// False when the headers are malformed or cut.
bool ReadProgramImage(PackageFile& file, ProgramImage* image);
bool ReadProgramImageEnd(PackageFile& file, uint64_t* end);

#endif
