// The folders on the way to the application's files that setup holds, each
// opened as itself, until it ends (engine/directory_path.h holds them as it
// walks; base/file_handles.h): no name on that way can become a link while
// setup writes there.
#ifndef VANTOREL_ENGINE_HELD_FOLDERS_H
#define VANTOREL_ENGINE_HELD_FOLDERS_H

#include "base/file_handles.h"

extern HeldFolders HeldApplicationFolders;

// Lets them go, as the end of the run does.
void ReleaseHeldFolders();

#endif
