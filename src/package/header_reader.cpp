#include "package/header_reader.h"

#include <string.h>

#include "package/program_image.h"

namespace {

// Signing tools pad the file with up to 7 zero bytes so that the
// certificate table starts at a multiple of 8.
constexpr uint32_t kMostSigningPadding = 7;

bool ReadTrailerAt(PackageInput& input, uint64_t position, uint32_t* headerOffset) {
  unsigned char bytes[layout::kTrailerSize];
  if (!input.file->Seek(position) || !input.file->Read(bytes, sizeof(bytes))) return false;
  *headerOffset = LoadU32(bytes);
  return true;
}

// The trailer of a signed file ends where the certificate table starts,
// or before the padding in front of it. The padding is zeros, and so are
// the high bytes of most trailers: of the places the zeros allow, the
// first (nearest the table) that points at a header behind the image and
// before the trailer is taken; the others point into the image or past
// the package.
bool FindSignedTrailer(PackageInput& input, const ProgramImage& image, uint32_t* headerOffset) {
  const uint64_t table = image.certificateOffset;
  for (uint32_t padding = 0; padding <= kMostSigningPadding; ++padding) {
    if (table < padding + layout::kTrailerSize) break;
    uint64_t position = table - padding - layout::kTrailerSize;
    unsigned char zero = 0;
    if (padding > 0 &&
        (!input.file->Seek(table - padding) || !input.file->Read(&zero, 1) || zero != 0)) {
      break;
    }
    uint32_t offset = 0;
    if (!ReadTrailerAt(input, position, &offset)) break;
    if (offset >= image.end && offset + static_cast<uint64_t>(layout::kHeaderSize) <= position) {
      *headerOffset = offset;
      input.dataEnd = position;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ReadPackageTrailer(PackageInput& input, uint32_t* headerOffset, bool* signedFile) {
  const uint64_t size = input.file->Size();
  ProgramImage image;
  bool signedImage = ReadProgramImage(*input.file, &image) && image.certificateSize != 0 &&
                     image.certificateOffset + image.certificateSize == size;
  if (signedFile != nullptr) *signedFile = signedImage;
  if (signedImage) {
    // A table that overlaps the program's image is malformed.
    if (image.certificateOffset < image.end || !FindSignedTrailer(input, image, headerOffset)) {
      ReportReadFailure(input);
      return false;
    }
    return true;
  }
  if (size < layout::kTrailerSize ||
      !ReadTrailerAt(input, size - layout::kTrailerSize, headerOffset)) {
    ReportReadFailure(input);
    return false;
  }
  input.dataEnd = size - layout::kTrailerSize;
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
