// The install record beside "Uninst.log" (base/install_record_text.h has
// its format): what this install wrote, noted in InstallSettings' Record as
// the install goes, with the record that an earlier install of the same
// application left, so that an upgrade forgets nothing an earlier version
// installed or counted, wherever it was installed.
#ifndef VANTOREL_ENGINE_INSTALL_RECORD_H
#define VANTOREL_ENGINE_INSTALL_RECORD_H

#include "base/shared_string.h"

// A file of the package in its place (written, replaced, or waiting under
// its ".new" name for the next start of Windows). One in the destination
// folder is noted whatever was there before; one elsewhere only when no
// file was there (`existed` false): the others' files are not ours to take.
void RecordInstalledFile(unsigned destinationType, const char* path, bool existed);

// A folder the install created; noted when it is the destination folder or
// lies below it.
void RecordCreatedFolder(const char* path);

// The text of the record to write into the destination folder: this
// install's files, folders, shared-count raises (those stored,
// engine/shared_dll_count.h), registry keys and values, and
// what the earlier installs left to it (base/earlier_installs.h), which
// the destination added before anything was written
// (engine/destination_folder.h).
SharedString InstallRecordToWrite();

#endif
