#include "engine/directory_path.h"

#include "base/platform.h"
#include "base/shared_string.h"

namespace {

// Index of the next "\" at or after `from`, or the end. Double-byte
// characters are stepped over whole: a trail byte may equal "\".
int FindSeparator(const char* path, int from) {
  int i = from;
  while (path[i] != '\0' && path[i] != '\\') {
    if (platform::IsLeadByte(static_cast<unsigned char>(path[i])) && path[i + 1] != '\0') ++i;
    ++i;
  }
  return i;
}

// Where the walk starts: for "\\server\share\rest" the separator after the
// share name (server and share cannot be created), else the path's start.
int FirstLevelStart(const char* path) {
  if (path[0] != '\\' || path[1] != '\\') return 0;
  int afterServer = FindSeparator(path, 2);
  if (path[afterServer] == '\0') return afterServer;
  return FindSeparator(path, afterServer + 1);
}

}  // namespace

bool CreateDirectoryPathWith(const char* path, const DirectoryOperations& operations) {
  const SharedString whole(path);
  int end = FirstLevelStart(path);
  while (path[end] != '\0') {
    // Step over the separator (or the path's first character, whole when it
    // is a lead byte), then on to the next separator.
    int next = end;
    if (platform::IsLeadByte(static_cast<unsigned char>(path[next])) && path[next + 1] != '\0') {
      ++next;
    }
    end = FindSeparator(path, next + 1);
    const SharedString prefix = whole.Middle(0, end);
    if (!operations.exists(prefix, operations.context) &&
        !operations.create(prefix, operations.context)) {
      return false;
    }
  }
  return true;
}

bool EndsWithSeparator(const char* path) {
  int last = -1;
  for (int i = 0; path[i] != '\0'; ++i) {
    last = i;
    if (platform::IsLeadByte(static_cast<unsigned char>(path[i])) && path[i + 1] != '\0') ++i;
  }
  return last >= 0 && path[last] == '\\';
}
