// PackageInput: the open package together with what a failure must name, and
// the exact reads every section is made of. The data ends where the trailer
// starts: no read ever takes the trailer's bytes (or anything past them) as
// package data, so a cut package fails at the cut instead of reading on into
// its last four bytes.
//
// Every failure is shown here, once, in an error box without owner and with
// the caller's caption: IDS_READ_FILE names the setup executable.
#ifndef VANTOREL_PACKAGE_PACKAGE_INPUT_H
#define VANTOREL_PACKAGE_PACKAGE_INPUT_H

#include <stdint.h>

#include "base/little_endian.h"
#include "base/shared_string.h"
#include "package/package_file.h"

struct PackageInput {
  PackageFile* file;
  const char* path;     // the setup executable: IDS_READ_FILE names it
  const char* caption;  // caption of the failure boxes
  // Where the trailer starts, once ReadPackageTrailer has found it; until
  // then (0) the file's last 4 bytes are taken for the trailer.
  uint64_t dataEnd = 0;
};

// Bytes between the current position and the trailer.
uint64_t PackageBytesLeft(const PackageInput& input);

// Exact reads of package data; IDS_READ_FILE when the data ends first.
bool ReadPackageBytes(PackageInput& input, void* buffer, uint32_t count);
bool ReadPackageU32(PackageInput& input, uint32_t* value);
// A NUL-terminated text; the NUL is consumed, not stored.
bool ReadPackageText(PackageInput& input, SharedString* text);

void ReportReadFailure(const PackageInput& input);        // IDS_READ_FILE
void ReportOutOfMemory(const PackageInput& input);        // IDS_OUT_OF_MEMORY
void ReportUncompressFailure(const PackageInput& input);  // IDS_UNCOMPRESS

#endif
