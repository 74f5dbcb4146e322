// The PE headers (PE32 or PE32+) of a Windows program, read from its file
// with every read bounds-checked, and what the setup file needs of them: the
// setup program's own image at the start of the setup file, where that image
// ends, and its Authenticode certificate table when it is signed. vtpack
// walks the same headers to the version resource of the files it packs.
#ifndef VANTOREL_PACKAGE_PROGRAM_IMAGE_H
#define VANTOREL_PACKAGE_PROGRAM_IMAGE_H

#include <stdint.h>

#include "package/package_file.h"

// Where the headers lie, as the DOS header's e_lfanew and the "PE\0\0"
// signature with its 20-byte file header locate them. File offsets.
struct PeHeaders {
  uint64_t optionalHeader = 0;
  uint16_t optionalSize = 0;  // SizeOfOptionalHeader
  uint16_t sectionCount = 0;
  uint64_t sectionTable = 0;  // right after the optional header
  // The data directories' offset in the optional header: 96 in PE32, 112 in
  // PE32+, 0 for an optional header of another kind (which has none here).
  uint64_t directories = 0;
};

// Data directories, by their index.
constexpr uint32_t kResourceDirectory = 2;
constexpr uint32_t kSecurityDirectory = 4;  // its address is a file offset, not an RVA
constexpr uint32_t kBaseRelocationDirectory = 5;

// The file header, right before the optional header: Machine and
// PointerToSymbolTable at these offsets of its 20 bytes.
constexpr uint64_t kFileHeaderSize = 20;
constexpr uint64_t kMachineOffset = 0;
constexpr uint64_t kSymbolTableOffset = 8;

// Fields at the same offsets in the optional header of PE32 and PE32+.
constexpr uint64_t kSizeOfHeadersOffset = 60;
constexpr uint64_t kChecksumOffset = 64;

// A section header: 40 bytes, PeSection's fields and the characteristics
// at these offsets.
constexpr uint64_t kSectionHeaderSize = 40;
constexpr uint64_t kSectionVirtualSizeOffset = 8;
constexpr uint64_t kSectionVirtualAddressOffset = 12;
constexpr uint64_t kSectionRawSizeOffset = 16;
constexpr uint64_t kSectionRawOffsetOffset = 20;
constexpr uint64_t kSectionCharacteristicsOffset = 36;

// A resource directory entry's name is a string, and its target a
// directory, when this bit is set (vtpack reads and writes resource trees).
constexpr uint32_t kResourceSubdirectoryFlag = 0x80000000;

// A section header's fields that locate the section.
struct PeSection {
  uint32_t virtualSize = 0;
  uint32_t virtualAddress = 0;
  uint32_t rawSize = 0;
  uint32_t rawOffset = 0;
};

// False when the signatures are missing or the headers are cut.
bool ReadPeHeaders(PackageFile& file, PeHeaders* headers);

// The data directory `index`: its address and size, 0 and 0 when the
// optional header has no such entry (too few directories, or another
// kind). False when the entry cannot be read.
bool ReadPeDirectory(PackageFile& file, const PeHeaders& headers, uint32_t index, uint32_t* address,
                     uint32_t* size);

// The section header `index` (below headers.sectionCount); false when cut.
bool ReadPeSection(PackageFile& file, const PeHeaders& headers, uint32_t index, PeSection* section);

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
