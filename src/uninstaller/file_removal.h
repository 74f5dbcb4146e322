// Deleting files and folders the way the uninstaller must: read-only ones
// too, one in use at the next start of Windows, links never followed.
#ifndef VANTOREL_UNINSTALLER_FILE_REMOVAL_H
#define VANTOREL_UNINSTALLER_FILE_REMOVAL_H

#include "base/shared_string.h"

class LeftItems;

enum class Removal { kDone, kAtRestart, kFailed };

// Deletes a file; a file already gone counts as deleted. One that is in use
// (or locked against deletion) is scheduled for deletion at the next start.
// A file that stays, or goes only at the next start, is a line in `left`.
Removal RemoveFile(const char* path, LeftItems& left);

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

// Removes `folder` with everything in it but kept files and the
// uninstaller itself. Each file that
// stays, or goes only at the next start, is a line in `left`, and so is
// the folder itself when it stays: a folder left only with files that go
// at the next start goes then too. Links to other folders (junctions,
// symbolic links) are removed, never followed.
void RemoveFolderTree(const SharedString& folder, const KeptFiles& kept, LeftItems& left);

#endif
