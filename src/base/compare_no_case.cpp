#include "base/compare_no_case.h"

#include <string.h>

#include "base/platform.h"

bool MatchesNoCase(const char* text, const char* word, int length) {
  int k = 0;
  while (k < length) {
    unsigned char c = static_cast<unsigned char>(text[k]);
    if (platform::IsLeadByte(c) && text[k + 1] != '\0') {
      if (k + 1 >= length || text[k] != word[k] || text[k + 1] != word[k + 1]) return false;
      k += 2;
    } else {
      if (platform::ToUpper(c) != platform::ToUpper(static_cast<unsigned char>(word[k]))) {
        return false;
      }
      ++k;
    }
  }
  return true;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
  int length = static_cast<int>(strlen(prefix));
  return memchr(text, 0, static_cast<size_t>(length)) == nullptr &&
         MatchesNoCase(text, prefix, length);
}

unsigned HashNoCase(const char* text) {
  // FNV-1a over the bytes as MatchesNoCase compares them.
  unsigned hash = 2166136261u;
  for (int k = 0; text[k] != '\0'; ++k) {
    unsigned char c = static_cast<unsigned char>(text[k]);
    if (platform::IsLeadByte(c) && text[k + 1] != '\0') {
      hash = (hash ^ c) * 16777619u;
      c = static_cast<unsigned char>(text[++k]);
    } else {
      c = platform::ToUpper(c);
    }
    hash = (hash ^ c) * 16777619u;
  }
  return hash;
}
