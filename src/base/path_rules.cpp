#include "base/path_rules.h"

#include <string.h>

#include "base/platform.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Length of `path` without one trailing "\" (a root keeps its "\").
int TrimmedLength(const char* path) {
  int length = static_cast<int>(strlen(path));
  if (length > 0 && LastSeparator(path) == length - 1) --length;
  return length;
}

// Compares `length` bytes without case; double-byte characters compare
// exactly, and a trail byte is never taken for a character of its own.
bool EqualNoCase(const char* a, const char* b, int length) {
  for (int i = 0; i < length; ++i) {
    const unsigned char ca = static_cast<unsigned char>(a[i]);
    const unsigned char cb = static_cast<unsigned char>(b[i]);
    if (platform::IsLeadByte(ca) && i + 1 < length) {
      if (ca != cb || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (platform::ToLower(ca) != platform::ToLower(cb)) {
      return false;
    }
  }
  return true;
}

const int kMaxPathLength = 259;  // MAX_PATH without the NUL

bool IsForbiddenInName(unsigned char c) {
  return c < 0x20 || strchr("/:*?\"<>|", c) != nullptr;
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
  if (folderLength > otherLength || !EqualNoCase(folder, other, folderLength)) return false;
  if (folderLength == otherLength) return true;
  // Below it only where a separator follows (a trail byte 0x5C is none).
  return other[folderLength] == '\\' &&
         LastSeparator(SharedString(other).Middle(0, folderLength + 1)) == folderLength;
}

bool IsSamePath(const char* a, const char* b) {
  const int length = static_cast<int>(strlen(a));
  return length == static_cast<int>(strlen(b)) && EqualNoCase(a, b, length);
}

bool IsSamePathOfLength(const char* a, const char* b, int length) {
  return EqualNoCase(a, b, length);
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
