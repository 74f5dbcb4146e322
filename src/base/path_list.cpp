#include "base/path_list.h"

#include <string.h>

#include "base/path_rules.h"

void AppendPath(SharedString& list, const char* path) {
  list.Reserve(list.Length() + static_cast<int>(strlen(path)) + 1);
  list += path;
  list += '\n';
}

bool NextPath(const SharedString& list, int& position, SharedString& path) {
  const int length = list.Length();
  if (position >= length) return false;
  int end = position;
  while (end < length && list.Text()[end] != '\n') ++end;
  path = list.Middle(position, end - position);
  position = end + 1;
  return true;
}

void AppendPathOnce(SharedString& list, const char* path) {
  if (!ListHoldsPath(list, path)) AppendPath(list, path);
}

namespace {

// A cheap refusal before the full comparison: two paths of one length
// differ where both hold an ASCII byte and the two differ beyond letter
// case (a byte from 0x80 up may be half of a double-byte character or
// fold in the code page, so only the full comparison judges it). Looking
// from the end finds such a place soonest: a folder's files differ in
// their names, not in the folder.
bool DiffersInAscii(const char* a, const char* b, int length) {
  for (int i = length - 1; i >= 0; --i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x == y || x >= 0x80 || y >= 0x80) continue;
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
    if (x != y) return true;
  }
  return false;
}

}  // namespace

bool ListHoldsPath(const SharedString& list, const char* path) {
  const char* text = list.Text();
  const char* const end = text + list.Length();
  const int pathLength = static_cast<int>(strlen(path));
  // Setup asks once for each file it installs, of a list of each file it
  // installed: with thousands of files, each look must be cheap.
  while (text < end) {
    const char* lineEnd = static_cast<const char*>(memchr(text, '\n', end - text));
    if (lineEnd == nullptr) lineEnd = end;
    if (lineEnd - text == pathLength && !DiffersInAscii(text, path, pathLength) &&
        IsSamePathOfLength(text, path, pathLength)) {
      return true;
    }
    text = lineEnd + 1;
  }
  return false;
}
