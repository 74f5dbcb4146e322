// The per-user uninstaller lies in the application's folder (Windows
// deletes no running program's file, and a per-user install has no
// administrator's folder to share it from), and it goes with the
// application all the same: as it ends, it starts a copy of itself in the
// user's temporary folder, which waits until the uninstaller has ended,
// deletes its file and the application's folder when that is empty by
// then, and ends. The copy's own file is held open to be deleted when its
// last handle closes, a handle the copy inherits: so it goes when the copy
// ends, and nothing of the uninstaller is left behind.
#ifndef VANTOREL_UNINSTALLER_OWN_FILE_REMOVAL_H
#define VANTOREL_UNINSTALLER_OWN_FILE_REMOVAL_H

#include "base/shared_string.h"
#include "uninstaller/command_line.h"

// The running uninstaller's own file, as the file system names it (long
// names). Asked before any folder on its way is held: Wine tells no long
// name through a folder held for deletion.
SharedString OwnFile();

// Starts the copy that removes `uninstaller` (the running program's file)
// and, with a `folder` that is not empty, that folder once it is empty;
// false when it cannot be started, and the file stays.
bool RemoveAfterExit(const char* uninstaller, const char* folder);

// The copy's work: waits for the uninstaller's process, then removes what
// its command line names. Its exit code.
int RunRemover(const RemoverCommandLine& commandLine);

#endif
