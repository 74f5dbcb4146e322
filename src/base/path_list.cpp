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

bool ListHoldsPath(const SharedString& list, const char* path) {
  const char* text = list.Text();
  const int length = list.Length();
  const int pathLength = static_cast<int>(strlen(path));
  for (int start = 0; start < length;) {
    int end = start;
    while (end < length && text[end] != '\n') ++end;
    if (end - start == pathLength && IsSamePathOfLength(text + start, path, pathLength)) {
      return true;
    }
    start = end + 1;
  }
  return false;
}
