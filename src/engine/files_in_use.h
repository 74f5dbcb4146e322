// The second half of installing one file: what happens when its destination
// cannot be opened because the file is in use, and what follows once its
// bytes are in place (registration, shared-DLL counts).
#ifndef VANTOREL_ENGINE_FILES_IN_USE_H
#define VANTOREL_ENGINE_FILES_IN_USE_H

#include <windows.h>

#include "base/shared_string.h"
#include "package/file_table.h"

// Opens `target` for writing (created or truncated, others may read it).
// On failure message 7 naming `target` has been shown and
// INVALID_HANDLE_VALUE is returned.
HANDLE OpenInstallTarget(const FileRecord& record, const SharedString& target);

// After the file's bytes and time stamp are in place. `existed`: a file of
// that name was there before this install wrote it.
void FinishInstalledFile(const FileRecord& record, const SharedString& target, bool existed);

#endif
