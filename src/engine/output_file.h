// Files the install writes (the uninstaller, the application's files):
// created or truncated, readable by others meanwhile.
#ifndef VANTOREL_ENGINE_OUTPUT_FILE_H
#define VANTOREL_ENGINE_OUTPUT_FILE_H

#include <windows.h>

#include "base/shared_string.h"

// INVALID_HANDLE_VALUE when the file cannot be opened, a path too long
// for Windows' 8-bit functions included.
HANDLE OpenForWriting(const char* path);

// The same for a file that must not be there yet: a name that exists
// meanwhile (or a link that leads nowhere) makes it fail rather than
// written through.
HANDLE CreateNewFile(const char* path);

// The same as OpenForWriting; on failure IDS_OPEN_FILE names `path`.
HANDLE CreateOutputFile(const char* path);

// Whether the file or folder at `path` is itself, not a link or a name
// that leads elsewhere (base/file_handles.h).
bool IsFileItself(const char* path);

// Writes `size` bytes to `file` in one call and closes it. A failed or
// short write shows IDS_WRITE_FILE naming `path`; the partly written file stays.
bool WriteAndClose(HANDLE file, const char* path, const void* data, DWORD size);

// Whether the file at `path`, which exists, could be opened by
// OpenForWriting: not in use by a program that keeps others from writing,
// not read-only, hidden or a system file (which CreateFile does not
// truncate when asked for normal attributes), not a folder. Nothing is
// changed.
bool CanOverwrite(const char* path);

// A staging file: the bytes that are to replace a file of `directory`,
// kept beside it (so that a rename puts them in place) until they have
// passed the file data's check. `directory` as a file's path begins with
// it, so normally ending in "\"; the name is "~vtXXXXXXXX.tmp", XXXXXXXX
// a number drawn at random for each name (no range of names that others
// could fill beforehand). Created as a new file, open for writing and for
// its renaming, others only reading it: it is what this handle writes that
// goes in place, never what a name holds by then. INVALID_HANDLE_VALUE
// when none can be made. It is marked for deletion until PutInPlace
// (engine/install_target.h) renames it: a run that ends before, however it
// ends, leaves none.
HANDLE CreateStagingFile(const char* directory);

// Renames the file at `path`, in `directory`, to a free staging name,
// through a handle on the file itself that stays open (others may read it,
// not rename or delete it), so that it can come back or go later through
// that handle, marked for deletion meanwhile (TakeBack takes the mark
// back): a run that ends before leaves it nowhere. INVALID_HANDLE_VALUE
// when it cannot be renamed (a program uses it, or it is not itself).
HANDLE MoveAside(const char* directory, const char* path);

#endif
