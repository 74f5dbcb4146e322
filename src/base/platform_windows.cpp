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

#ifdef VANTOREL_CONTRACT_CHECKS
#include <string.h>

#include "base/contract_check.h"

void BreakContract(const char* what) {
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD written;
  const char prefix[] = "contract broken: ";
  WriteFile(error, prefix, sizeof prefix - 1, &written, nullptr);
  WriteFile(error, what, static_cast<DWORD>(strlen(what)), &written, nullptr);
  WriteFile(error, "\n", 1, &written, nullptr);
  ExitProcess(70);
}
#endif
