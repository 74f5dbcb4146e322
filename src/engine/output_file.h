// Files the install writes (the uninstaller, the application's files):
// created or truncated, readable by others meanwhile.
#ifndef VANTOREL_ENGINE_OUTPUT_FILE_H
#define VANTOREL_ENGINE_OUTPUT_FILE_H

#include <windows.h>

// INVALID_HANDLE_VALUE when the file cannot be opened, a path too long
// for Windows' 8-bit functions included.
HANDLE OpenForWriting(const char* path);

// The same; on failure message 7 names `path`.
HANDLE CreateOutputFile(const char* path);

// Writes `size` bytes to `file` in one call and closes it. A failed or
// short write shows message 9 naming `path`; the partly written file stays.
bool WriteAndClose(HANDLE file, const char* path, const void* data, DWORD size);

#endif
