// Windows side of the platform layer: interlocked counts, and the active
// code page's lead bytes and case mapping.
#include "base/platform.h"

#include <windows.h>

namespace platform {

int AtomicIncrement(volatile int* value) {
  return InterlockedIncrement(reinterpret_cast<volatile LONG*>(value));
}

int AtomicDecrement(volatile int* value) {
  return InterlockedDecrement(reinterpret_cast<volatile LONG*>(value));
}

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

// CharUpperA maps a single character when it is passed in the low word of
// the pointer. A lead byte is half a character and stays as it is.
unsigned char ToUpper(unsigned char c) {
  if (IsLeadByte(c)) return c;
  return static_cast<unsigned char>(
      reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(c)))));
}

}  // namespace platform
