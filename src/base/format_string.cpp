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
// written, -1 when the output does not fit, -2 when it cannot be formatted.
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
  for (long long size = kFirstCapacity;; size *= 2) {
    // An unshared block of at least `size` characters; old contents go.
    StringHeader* header = HeaderOf(target.chars_);
    if (header->referenceCount != 1 || header->capacity < size) {
      char* fresh = string_block::Allocate(size);
      string_block::Release(target.chars_);
      target.chars_ = fresh;
      header = HeaderOf(target.chars_);
    }
    string_block::DropSearchTable(target.chars_);
    va_list attempt;
    va_copy(attempt, args);
    int written = FormatInto(target.chars_, size - 1, format, attempt);
    va_end(attempt);
    if (written == -2) written = 0;  // a format the runtime rejects: empty text
    if (written >= 0) {
      header->length = written;
      target.chars_[written] = '\0';
      return;
    }
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
