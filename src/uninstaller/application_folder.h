// The folder of the application: the one that holds the log, the
// application's destination directory. Whatever the install record says,
// the uninstaller acts in no folder that the system or the user keeps
// other things in.
#ifndef VANTOREL_UNINSTALLER_APPLICATION_FOLDER_H
#define VANTOREL_UNINSTALLER_APPLICATION_FOLDER_H

#include "base/shared_string.h"

// The folder of `logPath`, as the file system names it (full, long names,
// links resolved where Windows can tell), into `folder`. False when it
// cannot be told, or when it is a drive or share root, the Windows folder
// or any folder inside it, or a known shell folder or any folder above one
// (the program-files, common-files, system and fonts folders, the
// profiles, the desktop, documents, downloads, pictures, music, videos,
// application data, Start menu, ... of the user and of all users: every
// known folder where Windows has them, Vista on).
bool FindApplicationFolder(const char* logPath, SharedString& folder);

#endif
