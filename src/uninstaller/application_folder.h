// The folder of the application: the one that holds the log, the
// application's destination directory. Whatever the install record says,
// the uninstaller acts in no folder that the system or the user keeps
// other things in.
#ifndef VANTOREL_UNINSTALLER_APPLICATION_FOLDER_H
#define VANTOREL_UNINSTALLER_APPLICATION_FOLDER_H

#include "base/file_handles.h"
#include "base/shared_string.h"

// What opening an application's folder found.
enum class FolderOpening { kOpen, kMissing, kNotItself };

// Opens the folder `given` (full: the folder of a log, or an earlier
// install's) once, as itself, and holds it in `held` for the rest of the
// run (base/file_handles.h). kOpen: `folder` is its name as the file
// system has it (long names). kNotItself: it is a link or reparse point,
// or is reached through one; `folder` then names what it leads to, where
// that can be told, else `given`.
FolderOpening OpenApplicationFolder(const char* given, HeldFolders& held, SharedString& folder);

// Whether the uninstaller may act in `folder` (as the file system names
// it): not a drive or share root, the Windows folder or any folder inside
// it, or a known shell folder or any folder above one (the program-files,
// common-files, system and fonts folders, the profiles, the desktop,
// documents, downloads, pictures, music, videos, application data, Start
// menu, ... of the user and of all users: every known folder where Windows
// has them, Vista on).
bool IsApplicationsOwnFolder(const SharedString& folder);

#endif
