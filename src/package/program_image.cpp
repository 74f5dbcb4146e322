#include "package/program_image.h"

#include "base/little_endian.h"

namespace {

// IMAGE_DOS_HEADER: "MZ", e_lfanew at 0x3C. IMAGE_NT_HEADERS: "PE\0\0" and
// the 20-byte file header (NumberOfSections at 2, SizeOfOptionalHeader at
// 16), then the optional header and the 40-byte section headers
// (SizeOfRawData at 16, PointerToRawData at 20).
constexpr uint64_t kLfanewOffset = 0x3C;
constexpr uint64_t kOptionalHeaderOffset = 24;  // from the "PE\0\0"
constexpr uint64_t kSizeOfHeadersOffset = 60;   // in PE32 and PE32+ alike
constexpr uint64_t kSectionHeaderSize = 40;
// The optional header's data directories: eight bytes each, the security
// entry fifth. Its address is a file offset, not an RVA.
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint64_t kPe32Directories = 96;
constexpr uint64_t kPe32PlusDirectories = 112;
constexpr uint32_t kSecurityDirectory = 4;

bool ReadAt(PackageFile& file, uint64_t offset, void* buffer, uint32_t count) {
  return offset <= file.Size() && count <= file.Size() - offset && file.Seek(offset) &&
         file.Read(buffer, count);
}

// The security entry, when the optional header has one; an image without
// it (too few directories, another magic) is not signed.
bool ReadSecurityEntry(PackageFile& file, uint64_t optionalHeader, uint16_t optionalSize,
                       ProgramImage* image) {
  unsigned char magic[2];
  if (!ReadAt(file, optionalHeader, magic, sizeof(magic))) return false;
  uint64_t directories;
  if (LoadU16(magic) == kPe32Magic) {
    directories = kPe32Directories;
  } else if (LoadU16(magic) == kPe32PlusMagic) {
    directories = kPe32PlusDirectories;
  } else {
    return true;
  }
  uint64_t entry = directories + 8 * kSecurityDirectory;
  if (entry + 8 > optionalSize) return true;
  unsigned char count[4], bytes[8];
  if (!ReadAt(file, optionalHeader + directories - 4, count, sizeof(count)) ||
      !ReadAt(file, optionalHeader + entry, bytes, sizeof(bytes))) {
    return false;
  }
  if (LoadU32(count) <= kSecurityDirectory) return true;
  image->certificateOffset = LoadU32(bytes);
  image->certificateSize = LoadU32(bytes + 4);
  return true;
}

}  // namespace

bool ReadProgramImage(PackageFile& file, ProgramImage* image) {
  *image = ProgramImage();
  unsigned char dos[64];
  if (!ReadAt(file, 0, dos, sizeof(dos)) || dos[0] != 'M' || dos[1] != 'Z') return false;
  uint64_t nt = LoadU32(dos + kLfanewOffset);
  unsigned char headers[kOptionalHeaderOffset];
  if (!ReadAt(file, nt, headers, sizeof(headers)) || headers[0] != 'P' || headers[1] != 'E' ||
      headers[2] != 0 || headers[3] != 0) {
    return false;
  }
  uint16_t sectionCount = LoadU16(headers + 4 + 2);
  uint16_t optionalSize = LoadU16(headers + 4 + 16);
  uint64_t optionalHeader = nt + kOptionalHeaderOffset;
  unsigned char sizeOfHeaders[4];
  if (optionalSize < kSizeOfHeadersOffset + 4 ||
      !ReadAt(file, optionalHeader + kSizeOfHeadersOffset, sizeOfHeaders, sizeof(sizeOfHeaders)) ||
      !ReadSecurityEntry(file, optionalHeader, optionalSize, image)) {
    return false;
  }
  uint64_t end = LoadU32(sizeOfHeaders);
  uint64_t section = optionalHeader + optionalSize;
  for (uint16_t i = 0; i < sectionCount; ++i, section += kSectionHeaderSize) {
    unsigned char header[kSectionHeaderSize];
    if (!ReadAt(file, section, header, sizeof(header))) return false;
    uint64_t sectionEnd = static_cast<uint64_t>(LoadU32(header + 20)) + LoadU32(header + 16);
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
