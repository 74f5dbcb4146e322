// FormatString: printf-style formatting into a SharedString. The buffer starts
// at 1024 characters and doubles until the output fits.
#include <stdio.h>

#include "base/platform.h"
#include "base/shared_string.h"
#include "base/shared_string_block.h"

using string_block::HeaderOf;

namespace {

constexpr long long kFirstCapacity = 1024;
constexpr long long kLargestCapacity = 1LL << 30;

// Formats into buffer, accepting at most limit characters; returns the number
// written, -1 when the output does not fit, and natively -2 when it cannot
// be formatted (the system runtime's _vsnprintf gives -1 for both).
int FormatInto(char* buffer, long long limit, const char* format, va_list args) {
#ifdef _WIN32
  // The system runtime's _vsnprintf gives -1 when the output does not fit and
  // writes no terminator when it fills the buffer exactly.
  int written = _vsnprintf(buffer, static_cast<size_t>(limit), format, args);
  return written >= 0 && written <= limit ? written : -1;
#else
  int written = vsnprintf(buffer, static_cast<size_t>(limit) + 1, format, args);
  if (written < 0) return -2;
  return written <= limit ? written : -1;
#endif
}

}  // namespace

void FormatStringV(SharedString& target, const char* format, va_list args) {
  if (format == nullptr) format = "";
  // Always a new block, and the old one released only after formatting: an
  // argument may be the target's own text ("%s Setup" from the caption).
  for (long long size = kFirstCapacity;; size *= 2) {
    char* fresh = string_block::Allocate(size);
    va_list attempt;
    va_copy(attempt, args);
    int written = FormatInto(fresh, size - 1, format, attempt);
    va_end(attempt);
    if (written == -2) written = 0;  // a format the runtime rejects: empty text
    if (written >= 0) {
      HeaderOf(fresh)->length = written;
      fresh[written] = '\0';
      string_block::Release(target.chars_);
      target.chars_ = fresh;
      return;
    }
    string_block::Release(fresh);
    // Output of a gigabyte and more cannot be held: as fatal as no memory.
    if (size >= kLargestCapacity) FatalOutOfMemory();
  }
}

void FormatString(SharedString& target, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatStringV(target, format, args);
  va_end(args);
}
