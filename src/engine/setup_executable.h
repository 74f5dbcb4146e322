// The setup program's own executable, which carries the package.
#ifndef VANTOREL_ENGINE_SETUP_EXECUTABLE_H
#define VANTOREL_ENGINE_SETUP_EXECUTABLE_H

#include "base/shared_string.h"
#include "package/win32_package_file.h"

// The running executable's full path in the 8-bit code page, as messages
// name it (characters the code page lacks show as "?").
SharedString SetupExecutablePath();

// Opens it for reading (others may read it too), whatever its folder is
// called; IDS_OPEN_FILE naming `path`, with `caption`, when that fails.
bool OpenSetupExecutable(Win32PackageFile& file, const char* path, const char* caption);

#endif
