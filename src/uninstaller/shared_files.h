// Shared files: the usage counts under "SharedDLLs" that the application's
// installs raised, given back.
#ifndef VANTOREL_UNINSTALLER_SHARED_FILES_H
#define VANTOREL_UNINSTALLER_SHARED_FILES_H

#include "base/file_handles.h"
#include "base/shared_string.h"

class KeptFiles;
class LeftItems;

// Lowers the count of each shared file in `sharedFiles` ("<raises> <full
// path>" entries, as the install record keeps them) by its raises, never
// below 0. A file that other programs still count is kept; at 0 the count
// goes, and the user decides whether the file goes too (Windows'
// convention): the file is opened as itself, its folders held, before the
// question, and that file is what goes after it. A file without a count,
// whose count cannot be saved, or that lies behind a link, is kept and is
// a line in `left`. Every kept file is added to `kept`.
void ReleaseSharedFiles(HeldFolders& held, const SharedString& sharedFiles, const char* caption,
                        KeptFiles& kept, LeftItems& left);

#endif
