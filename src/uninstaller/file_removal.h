// Deleting files and folders the way the uninstaller must: read-only ones
// too, one in use at the next start of Windows, never through a link
// (callers ask IsReachedDirectly first).
#ifndef VANTOREL_UNINSTALLER_FILE_REMOVAL_H
#define VANTOREL_UNINSTALLER_FILE_REMOVAL_H

#include "base/shared_string.h"

class LeftItems;

enum class Removal { kDone, kAtRestart, kFailed };

// Whether the uninstaller may act on `path`: something is there, and no
// link or reparse point on the way or at its end leads elsewhere. A path
// behind a link is a line in `left`; what it leads to is never touched.
bool IsReachedDirectly(const char* path, LeftItems& left);

// Deletes a file; a file already gone counts as deleted. One that is in use
// (or locked against deletion) is scheduled for deletion at the next start.
// A file that stays, or goes only at the next start, is a line in `left`.
Removal RemoveFile(const char* path, LeftItems& left);

// Removes an empty folder, a read-only one too.
bool RemoveEmptyFolder(const char* path);

// Schedules the deletion of a file or an empty folder for the next start.
bool ScheduleDeletion(const char* path);

// The uninstaller's own file, or the one in the Windows directory that
// every application installed by Vantorel shares: never deleted.
bool IsUninstallerItself(const char* path);

// Shared files that other programs still use or that the user kept.
class KeptFiles {
 public:
  void Add(const char* path);
  bool Holds(const char* path) const;

 private:
  SharedString paths_;  // each followed by "\n"
};

#endif
