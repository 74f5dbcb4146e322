// SharedString's replace-all, with a case-sensitive search that respects
// double-byte characters.
#include <string.h>

#include "base/platform.h"
#include "base/shared_string.h"
#include "base/shared_string_block.h"

using string_block::HeaderOf;

namespace {

// First occurrence of pattern in text[start, length) that starts on a
// character boundary, or -1. A lead byte followed by a NUL is a character of
// its own: every NUL-terminated piece is walked from a boundary.
int FindCharacterwise(const char* text, int length, int start, const char* pattern,
                      int patternLength) {
  int i = start;
  while (i <= length - patternLength) {
    if (memcmp(text + i, pattern, static_cast<size_t>(patternLength)) == 0) return i;
    bool doubleByte = platform::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length &&
                      text[i + 1] != '\0';
    i += doubleByte ? 2 : 1;
  }
  return -1;
}

int CountOccurrences(const char* text, int length, const char* pattern, int patternLength) {
  int count = 0;
  int at = FindCharacterwise(text, length, 0, pattern, patternLength);
  while (at >= 0) {
    ++count;
    at = FindCharacterwise(text, length, at + patternLength, pattern, patternLength);
  }
  return count;
}

}  // namespace

int SharedString::ReplaceAll(const char* from, const char* to) {
  if (from == nullptr || from[0] == '\0') return 0;
  if (to == nullptr) to = "";
  // Texts taken from this very block would move under the replacement.
  SharedString fromCopy;
  SharedString toCopy;
  if (string_block::PointsInto(from, chars_)) {
    fromCopy = SharedString(from);
    from = fromCopy.Text();
  }
  if (string_block::PointsInto(to, chars_)) {
    toCopy = SharedString(to);
    to = toCopy.Text();
  }
  int fromLength = static_cast<int>(strlen(from));
  int toLength = static_cast<int>(strlen(to));
  int length = Length();
  int count = CountOccurrences(chars_, length, from, fromLength);
  if (count == 0) return 0;

  long long newLength = length + static_cast<long long>(count) * (toLength - fromLength);
  StringHeader* header = HeaderOf(chars_);
  if (header->referenceCount > 1 || header->capacity < newLength) {
    // One new block that is private and large enough at once.
    long long capacity = newLength > length ? newLength : length;
    char* fresh = string_block::Copy(chars_, length, capacity);
    string_block::Release(chars_);
    chars_ = fresh;
    header = HeaderOf(chars_);
  }

  // Left to right in place; the search goes on behind the inserted text, so
  // the replacement is never searched again. Lengths only ever move towards
  // newLength, which fits the block.
  int running = length;
  int at = FindCharacterwise(chars_, running, 0, from, fromLength);
  for (int done = 0; done < count && at >= 0; ++done) {
    memmove(chars_ + at + toLength, chars_ + at + fromLength,
            static_cast<size_t>(running - at - fromLength) + 1);
    memcpy(chars_ + at, to, static_cast<size_t>(toLength));
    running += toLength - fromLength;
    at = FindCharacterwise(chars_, running, at + toLength, from, fromLength);
  }
  header->length = running;
  chars_[running] = '\0';
  return count;
}
