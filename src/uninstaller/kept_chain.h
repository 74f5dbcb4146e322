// The earlier installs that an uninstall could not remove stay removable:
// their folder gone (renamed away, a drive not there) or failing a check.
// The application then stays in the list of installed programs, with a
// log and a record of what is left to remove, so that uninstalling it
// again removes them once they are back, and nothing is orphaned.
#ifndef VANTOREL_UNINSTALLER_KEPT_CHAIN_H
#define VANTOREL_UNINSTALLER_KEPT_CHAIN_H

#include "base/install_record_text.h"
#include "base/shared_string.h"
#include "uninstaller/log_parser.h"

// Writes the log and the record in the application's held `folder` anew,
// through files that are themselves (base/file_handles.h CreateOwnFile):
// the log without shortcuts or shared files (their counts were given back
// already), the record with the application's folder when setup made it
// (`record`) and the earlier installs `stayed` ("<digest> <folder>"
// each); and stores their digests in the Uninstall entry. False when any
// of it fails.
bool KeepChain(const SharedString& folder, const UninstallLog& log, const InstallRecord& record,
               const SharedString& stayed);

#endif
