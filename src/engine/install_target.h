// The second half of installing one file: where its bytes go when the
// destination is in use (its name with ".new" appended, put in place at the
// next start of Windows), and what follows once they are there
// (registration, the shared count).
#ifndef VANTOREL_ENGINE_INSTALL_TARGET_H
#define VANTOREL_ENGINE_INSTALL_TARGET_H

#include <windows.h>
#include <stdint.h>

#include "base/shared_string.h"
#include "engine/created_items.h"
#include "package/file_table.h"

// One file of the package on its way to its destination.
struct InstallTarget {
  SharedString folder;      // the destination directory, as `path` begins
  SharedString path;        // the destination directory and the file name
  bool existed = false;     // a file of that path was there before this install
  bool redirected = false;  // in use: the bytes go to path + ".new"
  // The staging file the bytes go to first, open until it is in place
  // (engine/output_file.h); INVALID_HANDLE_VALUE for a file made in place.
  HANDLE staging = INVALID_HANDLE_VALUE;
  bool Staged() const { return staging != INVALID_HANDLE_VALUE; }
};

// Opens the file that takes the record's bytes for `target.path`, or, when
// that cannot be overwritten and the record allows it, for the ".new" file
// (which sets RestartNeeded and `target.redirected`) where the file may
// wait for the next start (engine/file_in_use.h), else after asking the
// user to close the program that uses it (Cancel stops the install). A file that is new is
// created in place as a new file (a name that appeared meanwhile, a link
// among them, makes it fail) and listed in `created`; one that exists is left as it
// is, and the bytes go to a staging file beside it (`target.staging`, the
// handle returned), which PlaceStagedFile puts in its place once the data
// has passed its check. On
// failure IDS_OPEN_FILE (naming `target.path`) has been shown and
// INVALID_HANDLE_VALUE is returned.
HANDLE OpenInstallTarget(const FileRecord& record, InstallTarget& target, CreatedItems& created);

// Where PlaceStagedFile moved the file it replaced: to a staging name of
// the same folder, held by `aside` (engine/output_file.h MoveAside);
// INVALID_HANDLE_VALUE when there was none.
struct Placement {
  HANDLE aside = INVALID_HANDLE_VALUE;
};

// Puts the open staging file `staging` at `destination`, in `folder`,
// through its handle, and closes it; a file already there moves aside
// first (`placement`) so that it can come back. False when either cannot
// be renamed, or a folder has that name, with nothing changed and
// `staging` open.
bool PutInPlace(HANDLE staging, const char* folder, const char* destination, Placement& placement);
// The `size` bytes at `data` as the file `path` in the held `folder`,
// written whole as a new file beside it and put in its place through its
// handle, so that a hard link at its name keeps the bytes of its other
// file, and a run that ends before leaves the file as it was; the file it
// replaces waits aside (`placement`). IDS_OPEN_FILE or IDS_WRITE_FILE naming
// it otherwise.
bool PlaceWholeFile(const SharedString& folder, const char* path, const void* data, DWORD size,
                    Placement& placement);
// Undoes PutInPlace: the file put at `destination` goes (opened as itself
// again), the one moved aside comes back.
void TakeBack(const char* destination, const Placement& placement);
// The file moved aside goes, for good.
void DropMovedAside(const Placement& placement);

// After the data's check: puts the staging file in the place of the file
// it replaces, which moves aside (`placement`) until the install is sure
// to be complete. When that file cannot be moved now (a program has opened
// it meanwhile), the record may allow its ".new" file instead, or the user
// is asked, as OpenInstallTarget would have; otherwise IDS_OPEN_FILE names
// `target.path` (none after Cancel) and false is returned, with the
// staging file where it was.
bool PlaceStagedFile(const FileRecord& record, InstallTarget& target, Placement& placement);
// Undoes PlaceStagedFile (TakeBack).
void UndoPlacement(const InstallTarget& target, const Placement& placement);

// Once the bytes and the time stamp are in place: the file noted in the
// run log and the install record, and, when it is shared, listed for the
// uninstall log (engine/shared_dll_count.h). Nothing on the system changes
// yet.
void NoteInstalledFile(const FileRecord& record, const InstallTarget& target);

// Once the file is in place, before the uninstall log and record are
// written: its shared count raised, when it is shared, and recorded so
// (engine/shared_dll_count.h).
void RaiseCountOf(const FileRecord& record, const InstallTarget& target);

// Once the uninstall log, record and entry are written, in this order: the
// replacement of a redirected file scheduled for the next start, the file
// registered. Failures are reported and the install goes on.
void FinishInstalledFile(const FileRecord& record, const InstallTarget& target);

// Schedules `replacement` to take the place of `path` at the next start of
// Windows: two delayed moves on the NT family (delete, then rename), two
// "[rename]" lines of "wininit.ini" with short names on the Windows 95
// family. Failures go unreported. A per-user package's file is replaced at
// the user's next sign-in instead (which a restart brings too), by a command
// in the user's RunOnce key; when that cannot be saved, IDS_SAVE_REGISTRY_KEY.
void ScheduleReplacement(const char* path, const char* replacement);

#endif
