// The setup program's own executable, which carries the package.
#ifndef VANTOREL_ENGINE_SETUP_EXECUTABLE_H
#define VANTOREL_ENGINE_SETUP_EXECUTABLE_H

#include <stdint.h>

#include "base/shared_string.h"
#include "package/win32_package_file.h"

// The running executable's full path.
SharedString SetupExecutablePath();

// Bytes of the executable's own image in its file (headers and sections):
// an appended package starts at or after this offset.
uint64_t SetupImageSize();

// Opens it for reading (others may read it too); message 7 naming it, with
// `caption`, when that fails.
bool OpenSetupExecutable(Win32PackageFile& file, const char* path, const char* caption);

#endif
