// Reading a small file whole, as the uninstaller reads the log and the
// install record, and setup an earlier record.
#ifndef VANTOREL_BASE_FILE_CONTENTS_H
#define VANTOREL_BASE_FILE_CONTENTS_H

#include <windows.h>

#include "base/shared_string.h"

enum class FileRead { kDone, kMissing, kUnreadable };

// The bytes of the file at `path` into `contents` (which may hold NULs:
// its Length counts them). A file larger than `maxSize` bytes is
// unreadable.
FileRead ReadFileContents(const char* path, unsigned maxSize, SharedString& contents);

// The same for a file open for reading, from its start; false when it is
// larger or cannot be read.
bool ReadOpenFile(HANDLE file, unsigned maxSize, SharedString& contents);

#endif
