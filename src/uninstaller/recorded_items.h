// Removing what the install record proves is the application's: its files,
// then its folders once they are empty, and nothing else.
#ifndef VANTOREL_UNINSTALLER_RECORDED_ITEMS_H
#define VANTOREL_UNINSTALLER_RECORDED_ITEMS_H

#include "base/file_handles.h"
#include "base/install_record_text.h"
#include "base/shared_string.h"

class KeptFiles;
class LeftItems;

// In this order: the recorded files in the application's `folder` (its
// name as the file system has it, held in `held`) and outside it, the log
// and the record themselves, then the recorded folders that are empty,
// deepest first, each through its handle (uninstaller/file_removal.h).
// Shared files were left to ReleaseSharedFiles; `kept` are those it kept.
// A path reached through a link is left alone, and so is what the link
// leads to. What stays is a line in `left`: a file setup did not install
// (one made by the program or the user, or there before the install) keeps
// its folder, and is named when it lies in a recorded folder or the
// application's. A file in use goes at the next start of Windows, from
// the uninstaller's own folder. With `keepLog`, the log, the record and
// the application's folder stay (uninstaller/kept_chain.h).
void RemoveRecordedItems(HeldFolders& held, const SharedString& folder, const InstallRecord& record,
                         const KeptFiles& kept, LeftItems& left, bool keepLog = false);

#endif
