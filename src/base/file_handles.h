// Files and folders opened as themselves. Setup and the uninstaller act in
// folders that users may be able to write: a name there may be a link (a
// symbolic link, a junction) to anything on the system, and may become one
// between a check and the act that follows it. So they open a name once,
// without following a link at its end, check what they opened, and act on
// that handle; folders they work in they hold (HeldFolders), so that none
// can be renamed or replaced while they work.
//
// Wine opens what a Linux symbolic link leads to whatever the flags, and
// the handle then shows no reparse point: only the name behind the handle
// tells. HoldsItself looks at both.
#ifndef VANTOREL_BASE_FILE_HANDLES_H
#define VANTOREL_BASE_FILE_HANDLES_H

#include <windows.h>

#include "base/shared_string.h"

// Opens the existing file or folder `path` (CreateFileA, OPEN_EXISTING) with
// `access` and `share`, a link or reparse point at its end as itself.
HANDLE OpenItself(const char* path, DWORD access, DWORD share);

// The full name of what `handle` holds, as the file system names it (long
// names, links resolved): "C:\..." or "\\server\share\...". Empty where
// Windows cannot tell (before Vista), and for a name that does not fit in
// MAX_PATH with the "\\?\" Windows puts before it.
SharedString FinalPathOf(HANDLE handle);

// Whether `handle` (from OpenItself) holds the object at `path` itself:
// no reparse point, and, where Windows can tell, the name behind the handle
// is `path` (case aside), or the name WoW64 gives it in the system folder.
bool HoldsItself(HANDLE handle, const char* path);

// NtSetInformationFile on `handle`: what a handle allows on every Windows
// of the NT family (the kernel32 forms of it came with Vista). The NTSTATUS;
// STATUS_NOT_IMPLEMENTED where there is no such function.
LONG SetFileInformation(HANDLE handle, void* information, ULONG size, int kind);
enum { kRenameInformation = 10, kBasicInformation = 4, kDispositionInformation = 13 };

// Marks what `handle` (opened with DELETE) holds for deletion when its
// last handle closes; false when it cannot go (a folder that is not empty,
// a running program's file). `remove` false takes the mark back.
bool MarkForDeletion(HANDLE handle, bool remove = true);

// Opens the file or empty folder at `path` as itself and deletes it
// through that handle; false when it is not itself (a link stays) or
// cannot go.
bool DeleteItself(const char* path);

// A file to write at `path`: a new one, or the one there when it is itself
// and has no other name, emptied; never a link's target, or a file that
// another name shares, which a user who may make names in the folder
// could have put there. INVALID_HANDLE_VALUE otherwise.
HANDLE CreateOwnFile(const char* path);

// Gives what `handle` (opened with DELETE) holds the full path `path`, on
// its own volume; a file already there is never replaced.
bool RenameThroughHandle(HANDLE handle, const char* path);

// What opening a folder to hold it found.
enum class Holding { kHeld, kMissing, kNotItself };

// The folders a program holds until it ends, or until it lets one go:
// each opened with OpenItself, shared for reading and writing but not for
// deleting, and checked with HoldsItself.
class HeldFolders {
 public:
  HeldFolders() = default;
  ~HeldFolders() { ReleaseAll(); }
  HeldFolders(const HeldFolders&) = delete;
  HeldFolders& operator=(const HeldFolders&) = delete;

  // Opens and holds the folder at `path` (full, as the file system names
  // it), with `access` besides reading its list (without it when the folder
  // cannot be opened so: another program keeps it from being deleted, say;
  // READ_CONTROL, when asked for, is kept where only the rest is refused);
  // kHeld when it is held now or was already. kMissing: nothing there.
  // kNotItself: a link or reparse point, or a name that leads elsewhere;
  // nothing is held then. Anything that is there but cannot be opened
  // counts as kNotItself too.
  Holding Hold(const char* path, DWORD access = 0);
  // The handle of a held folder; null when `path` is not held.
  HANDLE Find(const char* path) const;
  // Closes the handle of `path` and forgets it.
  void Release(const char* path);
  void ReleaseAll();

 private:
  struct Folder;
  // The folder held last comes first: files come folder by folder.
  Folder* first_ = nullptr;
};

#endif
