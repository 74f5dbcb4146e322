// Where a path leads, for comparing folders by the names the file system
// gives them. The uninstaller acts only on what it opened as itself
// (base/file_handles.h); these names only tell folders apart.
#ifndef VANTOREL_UNINSTALLER_PATH_RESOLUTION_H
#define VANTOREL_UNINSTALLER_PATH_RESOLUTION_H

#include "base/shared_string.h"

// Full, with long names; empty when it cannot be told (or does not exist).
SharedString LongPath(const char* path);

// The same with links resolved (where Windows can tell).
SharedString CanonicalPath(const char* path);

#endif
