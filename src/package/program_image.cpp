#include "package/program_image.h"

#include "base/little_endian.h"

namespace {

// IMAGE_DOS_HEADER: "MZ", e_lfanew at 0x3C. IMAGE_NT_HEADERS: "PE\0\0" and
// the 20-byte file header (NumberOfSections at 2, SizeOfOptionalHeader at
// 16), then the optional header and the 40-byte section headers
// (VirtualSize at 8, VirtualAddress at 12, SizeOfRawData at 16,
// PointerToRawData at 20).
constexpr uint64_t kDosHeaderSize = 64;
constexpr uint64_t kLfanewOffset = 0x3C;
constexpr uint64_t kOptionalHeaderOffset = 24;  // from the "PE\0\0"
// The optional header's magic, and where its data directories begin: eight
// bytes each, after their count.
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint64_t kPe32Directories = 96;
constexpr uint64_t kPe32PlusDirectories = 112;
constexpr uint64_t kDirectoryEntrySize = 8;  // address, size

bool ReadAt(PackageFile& file, uint64_t offset, void* buffer, uint32_t count) {
  return offset <= file.Size() && count <= file.Size() - offset && file.Seek(offset) &&
         file.Read(buffer, count);
}

}  // namespace

bool ReadPeHeaders(PackageFile& file, PeHeaders* headers) {
  unsigned char dos[kDosHeaderSize];
  if (!ReadAt(file, 0, dos, sizeof(dos)) || dos[0] != 'M' || dos[1] != 'Z') return false;
  uint64_t nt = LoadU32(dos + kLfanewOffset);
  unsigned char ntHeaders[kOptionalHeaderOffset + 2];  // and the optional header's magic
  if (!ReadAt(file, nt, ntHeaders, sizeof(ntHeaders)) || ntHeaders[0] != 'P' ||
      ntHeaders[1] != 'E' || ntHeaders[2] != 0 || ntHeaders[3] != 0) {
    return false;
  }
  headers->sectionCount = LoadU16(ntHeaders + 4 + 2);
  headers->optionalSize = LoadU16(ntHeaders + 4 + 16);
  headers->optionalHeader = nt + kOptionalHeaderOffset;
  headers->sectionTable = headers->optionalHeader + headers->optionalSize;
  uint16_t magic = LoadU16(ntHeaders + kOptionalHeaderOffset);
  headers->directories = magic == kPe32Magic       ? kPe32Directories
                         : magic == kPe32PlusMagic ? kPe32PlusDirectories
                                                   : 0;
  return true;
}

bool ReadPeDirectory(PackageFile& file, const PeHeaders& headers, uint32_t index, uint32_t* address,
                     uint32_t* size) {
  *address = 0;
  *size = 0;
  uint64_t entry = headers.directories + kDirectoryEntrySize * index;
  if (headers.directories == 0 || entry + kDirectoryEntrySize > headers.optionalSize) return true;
  unsigned char count[4], bytes[kDirectoryEntrySize];
  if (!ReadAt(file, headers.optionalHeader + headers.directories - 4, count, sizeof(count)) ||
      !ReadAt(file, headers.optionalHeader + entry, bytes, sizeof(bytes))) {
    return false;
  }
  if (LoadU32(count) <= index) return true;
  *address = LoadU32(bytes);
  *size = LoadU32(bytes + 4);
  return true;
}

bool ReadPeSection(PackageFile& file, const PeHeaders& headers, uint32_t index,
                   PeSection* section) {
  unsigned char header[kSectionHeaderSize];
  if (!ReadAt(file, headers.sectionTable + kSectionHeaderSize * index, header, sizeof(header))) {
    return false;
  }
  section->virtualSize = LoadU32(header + kSectionVirtualSizeOffset);
  section->virtualAddress = LoadU32(header + kSectionVirtualAddressOffset);
  section->rawSize = LoadU32(header + kSectionRawSizeOffset);
  section->rawOffset = LoadU32(header + kSectionRawOffsetOffset);
  return true;
}

bool ReadProgramImage(PackageFile& file, ProgramImage* image) {
  *image = ProgramImage();
  PeHeaders headers;
  unsigned char sizeOfHeaders[4];
  uint32_t certificateOffset;
  if (!ReadPeHeaders(file, &headers) || headers.optionalSize < kSizeOfHeadersOffset + 4 ||
      !ReadAt(file, headers.optionalHeader + kSizeOfHeadersOffset, sizeOfHeaders,
              sizeof(sizeOfHeaders)) ||
      !ReadPeDirectory(file, headers, kSecurityDirectory, &certificateOffset,
                       &image->certificateSize)) {
    return false;
  }
  image->certificateOffset = certificateOffset;
  uint64_t end = LoadU32(sizeOfHeaders);
  for (uint32_t i = 0; i < headers.sectionCount; ++i) {
    PeSection section;
    if (!ReadPeSection(file, headers, i, &section)) return false;
    uint64_t sectionEnd = static_cast<uint64_t>(section.rawOffset) + section.rawSize;
    if (sectionEnd > end) end = sectionEnd;
  }
  image->end = end;
  return true;
}

bool ReadProgramImageEnd(PackageFile& file, uint64_t* end) {
  ProgramImage image;
  if (!ReadProgramImage(file, &image)) return false;
  *end = image.end;
  return true;
}
