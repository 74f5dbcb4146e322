#include "base/path_list.h"

#include <string.h>

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
