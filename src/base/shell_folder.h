// Paths of the shell's special folders (Programs menu, Desktop, Startup,
// Fonts, ...), identified by their CSIDL number.
#ifndef VANTOREL_BASE_SHELL_FOLDER_H
#define VANTOREL_BASE_SHELL_FOLDER_H

#include "base/shared_string.h"

// True when the shell knows the folder; `path` then holds its file-system
// path (empty for a virtual folder). False leaves `path` empty.
bool GetSpecialFolderPath(SharedString& path, int csidl);

#endif
