#include "package/header_reader.h"

#include <string.h>

bool ReadPackageTrailer(PackageInput& input, uint32_t* headerOffset) {
  unsigned char bytes[layout::kTrailerSize];
  uint64_t size = input.file->Size();
  if (size < sizeof(bytes) || !input.file->Seek(size - sizeof(bytes)) ||
      !input.file->Read(bytes, sizeof(bytes))) {
    ReportReadFailure(input);
    return false;
  }
  *headerOffset = LoadU32(bytes);
  return true;
}

namespace {

bool ReadAt(PackageFile& file, uint64_t offset, void* buffer, uint32_t count) {
  return offset <= file.Size() && count <= file.Size() - offset && file.Seek(offset) &&
         file.Read(buffer, count);
}

}  // namespace

bool ReadProgramImageEnd(PackageFile& file, uint64_t* end) {
  // IMAGE_DOS_HEADER: "MZ", e_lfanew at 0x3C. IMAGE_NT_HEADERS: "PE\0\0", the
  // 20-byte file header (NumberOfSections at 2, SizeOfOptionalHeader at 16),
  // the optional header (SizeOfHeaders at 60 in PE32 and PE32+ alike), then
  // 40-byte section headers (SizeOfRawData at 16, PointerToRawData at 20).
  unsigned char dos[64];
  if (!ReadAt(file, 0, dos, sizeof(dos)) || dos[0] != 'M' || dos[1] != 'Z') return false;
  uint64_t nt = LoadU32(dos + 0x3C);
  unsigned char headers[24];
  if (!ReadAt(file, nt, headers, sizeof(headers)) || headers[0] != 'P' || headers[1] != 'E' ||
      headers[2] != 0 || headers[3] != 0) {
    return false;
  }
  uint16_t sectionCount = LoadU16(headers + 4 + 2);
  uint16_t optionalSize = LoadU16(headers + 4 + 16);
  unsigned char sizeOfHeaders[4];
  if (optionalSize < 64 || !ReadAt(file, nt + 24 + 60, sizeOfHeaders, sizeof(sizeOfHeaders))) return false;
  uint64_t imageEnd = LoadU32(sizeOfHeaders);
  uint64_t section = nt + 24 + optionalSize;
  for (uint16_t i = 0; i < sectionCount; ++i, section += 40) {
    unsigned char header[40];
    if (!ReadAt(file, section, header, sizeof(header))) return false;
    uint64_t sectionEnd = static_cast<uint64_t>(LoadU32(header + 20)) + LoadU32(header + 16);
    if (sectionEnd > imageEnd) imageEnd = sectionEnd;
  }
  *end = imageEnd;
  return true;
}

bool CheckPackageBehindImage(PackageInput& input, uint32_t headerOffset) {
  uint64_t imageEnd = 0;
  if (!ReadProgramImageEnd(*input.file, &imageEnd) || headerOffset < imageEnd) {
    ReportReadFailure(input);
    return false;
  }
  return true;
}

bool ReadPackageHeader(PackageInput& input, uint32_t headerOffset, PackageHeader* header) {
  unsigned char image[layout::kHeaderSize];
  if (!input.file->Seek(headerOffset)) {
    ReportReadFailure(input);
    return false;
  }
  if (!ReadPackageBytes(input, image, sizeof(image))) return false;
  DecodePackageHeader(image, header);
  return true;
}

namespace {

void CopyText(char (&field)[layout::kTextFieldSize], const unsigned char* image, int offset) {
  memcpy(field, image + offset, sizeof(field));
  field[layout::kMaxTextLength] = '\0';
}

}  // namespace

void DecodePackageHeader(const unsigned char* image, PackageHeader* header) {
  CopyText(header->AppName, image, layout::kAppNameOffset);
  CopyText(header->AppVersion, image, layout::kAppVersionOffset);
  header->ShowDestinationPage = image[layout::kShowDestinationPageOffset];
  header->ShowShortcutsPage = image[layout::kShowShortcutsPageOffset];
  header->HasLicence = image[layout::kHasLicenceOffset];
  header->ShowWelcomePage = image[layout::kShowWelcomePageOffset];
  header->RunProgramAtEnd = image[layout::kRunProgramAtEndOffset];
  header->CheckProgramNotRunning = image[layout::kCheckProgramNotRunningOffset];
  CopyText(header->ProgramWindowClass, image, layout::kProgramWindowClassOffset);
  CopyText(header->ProgramFileName, image, layout::kProgramFileNameOffset);
}
