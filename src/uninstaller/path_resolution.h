// Where a path really leads. The uninstaller never acts through a link or
// reparse point (a symbolic link, a junction): a user who may write in the
// application's folder could otherwise point a recorded name at anything
// on the system.
#ifndef VANTOREL_UNINSTALLER_PATH_RESOLUTION_H
#define VANTOREL_UNINSTALLER_PATH_RESOLUTION_H

#include "base/shared_string.h"

// Full, with long names and links resolved (where Windows can tell);
// empty when the path cannot be told (or does not exist).
SharedString CanonicalPath(const char* path);

enum class Reach { kMissing, kDirect, kThroughLink };

// How the full path `path` is reached: not at all (nothing there), directly,
// or through a link on the way or at its end. Windows that can name the
// file behind a handle (Vista on) compare that name with the path; the
// reparse-point attribute of each part is looked at everywhere.
Reach HowReached(const char* path);

#endif
