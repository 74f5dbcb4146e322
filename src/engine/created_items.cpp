#include "engine/created_items.h"

#include <windows.h>

#include "base/file_handles.h"
#include "base/path_list.h"
#include "engine/held_folders.h"

namespace {

// A folder this run made is let go (its hold shares no deletion) and
// opened again as itself: the folders above it stay held, and what the
// name leads to by then goes only when it is that folder still.
bool RemoveFolder(const char* path) {
  HeldApplicationFolders.Release(path);
  return DeleteItself(path);
}

// Calls `remove` on every line of `list`, last line first.
void RemoveEach(SharedString& list, bool (*remove)(const char*)) {
  int length = list.Length();
  char* lines = list.GetBuffer(length);
  while (length > 0) {
    lines[length - 1] = '\0';  // the line's "\n"
    int start = length - 1;
    while (start > 0 && lines[start - 1] != '\n') --start;
    remove(lines + start);
    length = start;
  }
  list.ReleaseBuffer(0);
}

}  // namespace

void CreatedItems::AddFile(const char* path) { AppendPath(files_, path); }

void CreatedItems::AddFolder(const char* path) { AppendPath(folders_, path); }

bool CreatedItems::HasFolder(const char* path) const { return ListHoldsPath(folders_, path); }

void CreatedItems::RemoveAll() {
  // The folders above stay held meanwhile: nothing on the way is swapped
  // for a link while what this run made is taken away.
  RemoveEach(files_, DeleteItself);
  // A folder is made only after its parent, so the last made is the deepest.
  RemoveEach(folders_, RemoveFolder);
}
