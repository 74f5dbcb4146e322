#include "double_byte_code_page.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "base/platform.h"
#endif

namespace support {

#ifdef _WIN32

DoubleByteCodePage::DoubleByteCodePage() = default;
DoubleByteCodePage::~DoubleByteCodePage() = default;
bool DoubleByteCodePage::Active() const { return GetACP() == 932; }

#else

namespace {

bool ShiftJisLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace

DoubleByteCodePage::DoubleByteCodePage() { platform::SetLeadBytePredicate(ShiftJisLeadByte); }
DoubleByteCodePage::~DoubleByteCodePage() { platform::SetLeadBytePredicate(nullptr); }
bool DoubleByteCodePage::Active() const { return true; }

#endif

}  // namespace support
