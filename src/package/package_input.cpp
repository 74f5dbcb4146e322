#include "package/package_input.h"

#include "base/messages.h"
#include "package/layout.h"

uint64_t PackageBytesLeft(const PackageInput& input) {
  uint64_t size = input.file->Size();
  uint64_t end = size < layout::kTrailerSize ? 0 : size - layout::kTrailerSize;
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

uint32_t LoadU32(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool ReadPackageU32(PackageInput& input, uint32_t* value) {
  unsigned char bytes[4];
  if (!ReadPackageBytes(input, bytes, sizeof(bytes))) return false;
  *value = LoadU32(bytes);
  return true;
}

bool ReadPackageText(PackageInput& input, SharedString* text) {
  // Byte by byte up to the NUL, appended in runs so that a long text does
  // not grow the string one character at a time.
  char run[128];
  int used = 0;
  text->Empty();
  for (;;) {
    char c;
    if (!ReadPackageBytes(input, &c, 1)) return false;
    if (c == '\0' || used == static_cast<int>(sizeof(run)) - 1) {
      run[used] = '\0';
      *text += run;
      used = 0;
      if (c == '\0') return true;
    }
    run[used++] = c;
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
