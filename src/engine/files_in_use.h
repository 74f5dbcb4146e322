// The second half of installing one file: where its bytes go when the
// destination is in use (its name with ".new" appended, put in place at the
// next start of Windows), and what follows once they are there
// (registration, the shared count).
#ifndef VANTOREL_ENGINE_FILES_IN_USE_H
#define VANTOREL_ENGINE_FILES_IN_USE_H

#include <stdint.h>
#include <windows.h>

#include "base/shared_string.h"
#include "engine/created_items.h"
#include "engine/file_data_stream.h"
#include "package/file_table.h"

// One file of the package on its way to its destination.
struct InstallTarget {
  SharedString path;        // the destination directory and the file name
  bool existed = false;     // a file of that path was there before this install
  bool redirected = false;  // in use: the bytes went to path + ".new"
};

// Opens the file that takes the record's bytes (created or truncated,
// others may read it): `target.path`, or, when that cannot be opened and
// the record allows it, the ".new" file, which sets RestartNeeded and
// `target.redirected`. That one waits first for the whole data to pass its
// check and to reach `tableEnd` (where the table's last file ends): it
// replaces installed code. A file this creates is listed in `created`. On
// failure IDS_OPEN_FILE (naming `target.path`) or the stream's message has
// been shown and INVALID_HANDLE_VALUE is returned.
HANDLE OpenInstallTarget(const FileRecord& record, InstallTarget& target, FileDataStream& data,
                         uint64_t tableEnd, CreatedItems& created);

// After the bytes and the time stamp are in place, in this order: the
// replacement of a redirected file scheduled for the next start, the file
// registered, its shared count raised. The caller has made sure that the
// data passed its check. Failures are reported and the install goes on.
void FinishInstalledFile(const FileRecord& record, const InstallTarget& target);

// Schedules `replacement` to take the place of `path` at the next start of
// Windows: two delayed moves on the NT family (delete, then rename), two
// "[rename]" lines of "wininit.ini" with short names on the Windows 95
// family. Failures go unreported.
void ScheduleReplacement(const char* path, const char* replacement);

#endif
