#include "package/package_input.h"

#include "base/messages.h"
#include "package/layout.h"

uint64_t PackageBytesLeft(const PackageInput& input) {
  uint64_t size = input.file->Size();
  uint64_t end = size < layout::kTrailerSize ? 0 : size - layout::kTrailerSize;
  if (input.dataEnd != 0 && input.dataEnd < end) end = input.dataEnd;
  uint64_t position = input.file->Position();
  return position < end ? end - position : 0;
}

bool ReadPackageBytes(PackageInput& input, void* buffer, uint32_t count) {
  if (count > PackageBytesLeft(input) || !input.file->Read(buffer, count)) {
    ReportReadFailure(input);
    return false;
  }
  return true;
}

bool ReadPackageU32(PackageInput& input, uint32_t* value) {
  unsigned char bytes[4];
  if (!ReadPackageBytes(input, bytes, sizeof(bytes))) return false;
  *value = LoadU32(bytes);
  return true;
}

bool ReadPackageText(PackageInput& input, SharedString* text) {
  // Byte by byte up to the NUL. The package's own end bounds the text: a
  // text that never ends fails there with IDS_READ_FILE. The string grows
  // geometrically, so even a text of megabytes costs linear time.
  text->Empty();
  for (;;) {
    char c;
    if (!ReadPackageBytes(input, &c, 1)) return false;
    if (c == '\0') return true;
    text->Reserve(text->Length() + 1);
    *text += c;
  }
}

void ReportReadFailure(const PackageInput& input) {
  ShowError(nullptr, input.caption, IDS_READ_FILE, input.path);
}

void ReportOutOfMemory(const PackageInput& input) {
  ShowError(nullptr, input.caption, IDS_OUT_OF_MEMORY);
}

void ReportUncompressFailure(const PackageInput& input) {
  ShowError(nullptr, input.caption, IDS_UNCOMPRESS);
}
