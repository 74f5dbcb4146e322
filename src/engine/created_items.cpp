#include "engine/created_items.h"

#include <windows.h>

#include "base/path_list.h"
#include "engine/held_folders.h"

namespace {

// Calls `remove` on every line of `list`, last line first.
void RemoveEach(SharedString& list, BOOL(WINAPI* remove)(LPCSTR)) {
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

void CreatedItems::RemoveAll() {
  // Held without sharing deletion, the folders could not go.
  ReleaseHeldFolders();
  RemoveEach(files_, DeleteFileA);
  // A folder is made only after its parent, so the last made is the deepest.
  RemoveEach(folders_, RemoveDirectoryA);
}
