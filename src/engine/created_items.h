// What this run of setup created on disk: the files and folders that were
// not there before, in the order they were made. When the file data turns
// out damaged, the install takes them away again, so a damaged package
// leaves nothing of its own behind. Files that existed before are never
// listed: they are only replaced by bytes that passed the stream's check.
#ifndef VANTOREL_ENGINE_CREATED_ITEMS_H
#define VANTOREL_ENGINE_CREATED_ITEMS_H

#include "base/shared_string.h"

class CreatedItems {
 public:
  void AddFile(const char* path);
  void AddFolder(const char* path);
  // Whether this run made the folder `path`.
  bool HasFolder(const char* path) const;

  // Deletes the files, newest first, then the folders, deepest first, each
  // through a handle on itself while the folders on the way are held (a
  // name that became a link stays, and so does what it leads to); a
  // folder that is not empty (something else was put there meanwhile)
  // stays, and so does a file that cannot be deleted. Nothing is reported:
  // the user has already been told why the install stopped.
  void RemoveAll();

 private:
  // Each path followed by "\n" (which no Windows path holds).
  SharedString files_;
  SharedString folders_;
};

#endif
