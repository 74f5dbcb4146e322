#include "base/path_rules.h"

#include <string.h>

#include "base/compare_no_case.h"
#include "base/platform.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Length of `path` without one trailing "\" (a root keeps its "\").
int TrimmedLength(const char* path) {
  int length = static_cast<int>(strlen(path));
  if (length > 0 && LastSeparator(path) == length - 1) --length;
  return length;
}

// One part of a path, `length` bytes at `name`.
bool IsPlainName(const char* name, int length) {
  if (length == 0 || (length <= 2 && strncmp(name, "..", length) == 0)) return false;
  char last = 0;
  for (int i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (platform::IsLeadByte(c) && i + 1 < length) {
      ++i;  // the trail byte is no character of its own
      last = 0;
      continue;
    }
    if (IsForbiddenInName(c)) return false;
    last = static_cast<char>(c);
  }
  return last != '.' && last != ' ' && !IsDeviceName(name, length);
}

}  // namespace

bool IsFullPath(const char* path) {
  if (IsLetter(path[0]) && path[1] == ':' && path[2] == '\\') return true;
  return path[0] == '\\' && path[1] == '\\' && path[2] != '\0' && path[2] != '\\';
}

int LastSeparator(const char* path) {
  int last = -1;
  for (int i = 0; path[i] != '\0'; ++i) {
    if (path[i] == '\\') {
      last = i;
    } else if (platform::IsLeadByte(static_cast<unsigned char>(path[i])) && path[i + 1] != '\0') {
      ++i;
    }
  }
  return last;
}

bool HasSeparator(const char* path) { return LastSeparator(path) >= 0; }

bool IsRootFolder(const char* folder) {
  const int length = TrimmedLength(folder);
  if (length == 2 && IsLetter(folder[0]) && folder[1] == ':') return true;
  if (length == 3 && IsLetter(folder[0]) && folder[1] == ':' && folder[2] == '\\') return true;
  if (folder[0] != '\\' || folder[1] != '\\') return false;
  // "\\server\share": no separator after the one between the two names.
  SharedString rest = SharedString(folder + 2).Middle(0, length - 2);
  const int separator = LastSeparator(rest);
  return separator <= 0 || LastSeparator(rest.Middle(0, separator)) < 0;
}

bool IsSameOrAbove(const char* folder, const char* other) {
  const int folderLength = TrimmedLength(folder);
  const int otherLength = TrimmedLength(other);
  if (folderLength > otherLength || !MatchesNoCase(folder, other, folderLength)) return false;
  if (folderLength == otherLength) return true;
  // Below it only where a separator follows (a trail byte 0x5C is none).
  return other[folderLength] == '\\' &&
         LastSeparator(SharedString(other).Middle(0, folderLength + 1)) == folderLength;
}

bool IsSamePath(const char* a, const char* b) {
  const int length = static_cast<int>(strlen(a));
  return length == static_cast<int>(strlen(b)) && MatchesNoCase(a, b, length);
}

bool IsSamePathOfLength(const char* text, const char* path, int length) {
  // `path` ends where the comparison does: a lead byte it ends in is a
  // character of its own, while one in `text` may be followed by "\n".
  return MatchesNoCase(path, text, length);
}

bool IsDeviceName(const char* name, int length) {
  int base = 0;
  while (base < length && name[base] != '.') ++base;
  while (base > 0 && name[base - 1] == ' ') --base;
  char upper[5] = {};
  if (base < 3 || base > 4) return false;
  for (int i = 0; i < base; ++i) upper[i] = static_cast<char>(platform::ToUpper(name[i]));
  if (base == 3) {
    return strcmp(upper, "CON") == 0 || strcmp(upper, "PRN") == 0 || strcmp(upper, "AUX") == 0 ||
           strcmp(upper, "NUL") == 0;
  }
  return (strncmp(upper, "COM", 3) == 0 || strncmp(upper, "LPT", 3) == 0) && upper[3] >= '1' &&
         upper[3] <= '9';
}

bool IsPlainRelativePath(const char* path) {
  const int length = static_cast<int>(strlen(path));
  if (length == 0 || length > kMaxPathLength) return false;
  int start = 0;
  for (int i = 0; i <= length; ++i) {
    if (i == length || path[i] == '\\') {
      if (!IsPlainName(path + start, i - start)) return false;
      start = i + 1;
    } else if (platform::IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < length) {
      ++i;
    }
  }
  return true;
}

bool IsPlainFullPath(const char* path) {
  if (!IsFullPath(path)) return false;
  // "X:\rest", or "\\server\share\rest": server and share are parts too.
  return IsPlainRelativePath(path[1] == ':' ? path + 3 : path + 2) &&
         strlen(path) <= static_cast<size_t>(kMaxPathLength);
}

bool DestinationFromText(const char* text, SharedString& destination) {
  const int length = static_cast<int>(strlen(text));
  if (length > kMaxPathLength) return false;
  SharedString result;
  result.Reserve(length);
  // Each part is copied once its end is known, without the blanks and dots
  // that end it (neither is ever a trail byte). A trail byte that equals
  // "\\" or "/" is no separator. A part of dots alone ends up empty, and
  // is refused below.
  int partStart = 0;
  for (int i = 0; i <= length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (i < length && platform::IsLeadByte(c) && i + 1 < length) {
      ++i;
      continue;
    }
    if (i < length && c != '\\' && c != '/') continue;
    int partEnd = i;
    while (partEnd > partStart && (text[partEnd - 1] == ' ' || text[partEnd - 1] == '.')) --partEnd;
    result += SharedString(text + partStart).Middle(0, partEnd - partStart);
    if (i < length) result += '\\';
    partStart = i + 1;
  }
  if (result.Length() > 0 && LastSeparator(result) == result.Length() - 1) {
    result = result.Middle(0, result.Length() - 1);
  }
  if (!IsPlainFullPath(result) || IsRootFolder(result)) return false;
  destination = result;
  return true;
}
