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
  bool staged = false;      // the bytes go to staging file `staging` first
  unsigned staging = 0;
};

// Opens the file that takes the record's bytes for `target.path`, or, when
// that cannot be overwritten and the record allows it, for the ".new" file
// (which sets RestartNeeded and `target.redirected`). A file that is new is
// created in place as a new file (a name that appeared meanwhile, a link
// among them, makes it fail) and listed in `created`; one that exists is left as it
// is, and the bytes go to a staging file beside it (`target.staged`), which
// PlaceStagedFile puts in its place once the data has passed its check. On
// failure IDS_OPEN_FILE (naming `target.path`) has been shown and
// INVALID_HANDLE_VALUE is returned.
HANDLE OpenInstallTarget(const FileRecord& record, InstallTarget& target, CreatedItems& created);

// Where PlaceStagedFile moved the file it replaced: to staging name
// `aside` of the same folder, when `movedAside`.
struct Placement {
  unsigned aside = 0;
  bool movedAside = false;
};

// After the data's check: puts the staging file in the place of the file
// it replaces, which moves aside (`placement`) until the install is sure
// to be complete. When that file cannot be moved now (a program has opened
// it meanwhile), the record may allow its ".new" file instead, as
// OpenInstallTarget would have; otherwise IDS_OPEN_FILE names
// `target.path` and false is returned, with the staging file where it was.
bool PlaceStagedFile(const FileRecord& record, InstallTarget& target, Placement& placement);
// Undoes PlaceStagedFile: the new bytes go back to the staging file and
// the file moved aside comes back.
void UndoPlacement(const InstallTarget& target, const Placement& placement);

// After the bytes and the time stamp are in place, in this order: the
// replacement of a redirected file scheduled for the next start, the file
// registered, its shared count raised. The caller has made sure that the
// data passed its check. Failures are reported and the install goes on.
void FinishInstalledFile(const FileRecord& record, const InstallTarget& target);

// Schedules `replacement` to take the place of `path` at the next start of
// Windows: two delayed moves on the NT family (delete, then rename), two
// "[rename]" lines of "wininit.ini" with short names on the Windows 95
// family. Failures go unreported. A per-user package's file is replaced at
// the user's next sign-in instead (which a restart brings too), by a command
// in the user's RunOnce key; when that cannot be saved, IDS_SAVE_REGISTRY_KEY.
void ScheduleReplacement(const char* path, const char* replacement);

#endif
