// SharedString's searches: replace-all with a case-sensitive search that
// respects double-byte characters, and the case-insensitive Horspool search
// whose shift table is cached in the pattern's block.
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
    bool doubleByte = platform::IsLeadByte(static_cast<unsigned char>(text[i])) &&
                      i + 1 < length && text[i + 1] != '\0';
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
  string_block::DropSearchTable(chars_);
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

int SharedString::FindNoCase(const SharedString& pattern, int start) const {
  int patternLength = pattern.Length();
  if (patternLength == 0) return -1;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(pattern.chars_);
  const unsigned char* h = reinterpret_cast<const unsigned char*>(chars_);
  StringHeader* patternHeader = HeaderOf(pattern.chars_);
  if (patternHeader->searchTable == nullptr) {
    // Shift of every byte whose upper-case form is that of a pattern byte:
    // the upper- and lower-case forms, and any other byte the code page maps
    // the same way, so no match is ever skipped.
    int shiftOfUpper[256];
    for (int& shift : shiftOfUpper) shift = patternLength;
    for (int j = 0; j < patternLength - 1; ++j) shiftOfUpper[platform::ToUpper(p[j])] = patternLength - 1 - j;
    SkipTable* table = static_cast<SkipTable*>(platform::Allocate(sizeof(SkipTable)));
    for (int b = 0; b < 256; ++b) table->shift[b] = shiftOfUpper[platform::ToUpper(static_cast<unsigned char>(b))];
    patternHeader->searchTable = table;
  }
  const SkipTable* table = patternHeader->searchTable;

  // The window starts at `start`: its end is start + m - 1, so nothing before
  // `start` (or before the text) is ever compared.
  if (start < 0) start = 0;
  long long length = Length();
  long long last = patternLength - 1;
  for (long long i = start + last; i < length; i += table->shift[h[i]]) {
    long long k = 0;
    while (k <= last && platform::ToUpper(h[i - k]) == platform::ToUpper(p[last - k])) ++k;
    if (k > last) return static_cast<int>(i - last);
  }
  return -1;
}
