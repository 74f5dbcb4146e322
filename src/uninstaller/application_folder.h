// The folder the uninstaller removes whole: the one that holds the log,
// the application's destination directory. It must be a folder of the
// application's own, never one that the system or the user keeps other
// things in.
#ifndef VANTOREL_UNINSTALLER_APPLICATION_FOLDER_H
#define VANTOREL_UNINSTALLER_APPLICATION_FOLDER_H

#include "base/shared_string.h"

// The folder of `logPath`, as the file system names it (full, long names,
// links resolved where Windows can tell), into `folder`. False when it
// cannot be told, or when it is a drive or share root, or the Windows,
// system, program-files or common-files folder, a user's profile, desktop,
// documents, application data, Start menu or fonts folder, or any folder
// above one of them.
bool FindApplicationFolder(const char* logPath, SharedString& folder);

#endif
