// Removing files and folders the way the uninstaller must: each opened once
// as itself, in folders held for the whole run (base/file_handles.h), and
// removed through its handle, so that what goes is what was checked, never
// what a name leads to by then. Read-only files go too; one in use goes at
// the next start of Windows from a folder that only administrators can
// write, never by a name that a user could redirect.
#ifndef VANTOREL_UNINSTALLER_FILE_REMOVAL_H
#define VANTOREL_UNINSTALLER_FILE_REMOVAL_H

#include <windows.h>

#include "base/file_handles.h"
#include "base/shared_string.h"

class LeftItems;

enum class Removal { kDone, kAtRestart, kFailed };

// A file opened to be removed.
struct FileToRemove {
  HANDLE handle = INVALID_HANDLE_VALUE;
  SharedString path;
  BY_HANDLE_FILE_INFORMATION information;
};

enum class Opening { kOpen, kGone, kLeft };

// Holds the folders on the way to the full path `path` (EnterFolder) and
// opens the file there as itself, keeping others from renaming or deleting
// it meanwhile. kGone: nothing is there. kLeft: it stays, and is a line in
// `left`: it is a link or lies behind one, it is a folder, or a program
// uses it without letting it be moved.
Opening OpenFileToRemove(HeldFolders& held, const char* path, FileToRemove& file, LeftItems& left);

// Removes the opened file through its handle, and closes it. A file that
// has other names (hard links) loses only this one, and its attributes are
// never changed (a read-only one stays); a file in use is moved into the
// uninstaller's folder under Windows, on the same volume, and goes from
// there at the next start of Windows, or stays. What stays, or goes only
// at the next start, is a line in `left`.
Removal RemoveOpenedFile(HeldFolders& held, FileToRemove& file, LeftItems& left);
void CloseFileToRemove(FileToRemove& file);

// Both steps; a file already gone counts as removed.
Removal RemoveFile(HeldFolders& held, const char* path, LeftItems& left);

// Holds `folder` and every folder on the way to it that is not held yet:
// from the deepest held folder above it (an application's folder) down,
// or from its drive or share. Each is held as itself, or the walk stops:
// kMissing when one is not there, kNotItself when one is a link or leads
// elsewhere.
Holding EnterFolder(HeldFolders& held, const char* folder);

// Removes the empty folder `path` through its handle (entering it first
// when it is not held yet), a read-only one too; false when it stays.
bool RemoveEmptyFolder(HeldFolders& held, const char* path);

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
