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
