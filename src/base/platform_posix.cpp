// Native side of the platform layer, for the sanitizer and fuzzer builds: GCC
// atomics, ASCII case mapping, and a lead-byte test that tests can replace to
// stand in a double-byte code page.
#include "base/platform.h"

namespace platform {

namespace {
bool NoLeadBytes(unsigned char) { return false; }
bool (*leadBytePredicate)(unsigned char) = NoLeadBytes;
}  // namespace

int AtomicIncrement(volatile int* value) { return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST); }

int AtomicDecrement(volatile int* value) { return __atomic_sub_fetch(value, 1, __ATOMIC_SEQ_CST); }

void SetLeadBytePredicate(bool (*isLeadByte)(unsigned char)) {
  leadBytePredicate = isLeadByte != nullptr ? isLeadByte : NoLeadBytes;
}

bool IsLeadByte(unsigned char c) { return leadBytePredicate(c); }

unsigned char ToUpper(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace platform
