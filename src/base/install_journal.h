// The record of an install while it is under way. Before setup writes
// anything of the application it makes this key, and it notes there each
// folder, file, shortcut, shared count and registry key or value before (or
// as) it makes it; it deletes the key once the log, the record and the
// Uninstall entry are complete. So an install stopped at any moment (a
// failure, Cancel, a process killed) leaves what the uninstaller needs to
// remove it whole, and what the next setup needs to take it as its own.
//
// The key is "InstallInProgress" below the application's Uninstall entry
// (base/uninstall_key.h), under the entry's root: HKEY_LOCAL_MACHINE for a
// machine install, which only administrators can change, the user's own
// HKEY_CURRENT_USER for a per-user one. Its values, each REG_SZ:
//   Folder                  the destination folder of the run that wrote
//                           it last
//   1, 2, 3, ...            one line each, numbered as written, in the
//                           install record's form but with full paths:
//                           "folder <path>", "file <path>" (in the folder or
//                           not), "shared 1 <path>" (a count raised),
//                           "key <root>\<path>", "value <digest> <key>=<name>"
//   UninstallLogSHA256, InstallRecordSHA256
//                           the digests of the log and the record setup puts
//                           in place at the end: files of these digests
//                           hold everything the lines say
#ifndef VANTOREL_BASE_INSTALL_JOURNAL_H
#define VANTOREL_BASE_INSTALL_JOURNAL_H

#include <windows.h>

#include "base/install_record_text.h"
#include "base/shared_string.h"

// The key's name below the entry's root (base/install_scope.h ScopeRoot).
SharedString InstallJournalKeyName(const char* appName);

// The value names of the key.
inline constexpr char kJournalFolderValue[] = "Folder";

struct InstallJournal {
  SharedString folder;
  SharedString lines;  // each followed by "\n"
  SharedString logDigest;
  SharedString recordDigest;
};

// False when `appName` has no install under way (or stopped).
bool ReadInstallJournal(const char* appName, InstallJournal& journal);

// Adds what `journal` lists to `record`, as an install into `folder`
// records it: paths below `folder` as its own files and folders, other
// files as files outside it (a folder elsewhere is left out: the record
// keeps none), the raises, keys and values. Files that are not there, and
// lines no record may hold, are passed over.
void AddJournalToRecord(const InstallJournal& journal, const char* folder, InstallRecord& record);

// The part of `path` below `folder`: "." for the folder itself; empty when
// it lies elsewhere.
SharedString PathBelow(const char* folder, const char* path);

// Deletes the key (it has no subkeys).
void DeleteInstallJournal(const char* appName);

// Setup's side. Opens the key of `appName`, made when there is none (a run
// after a stopped one goes on with its lines), and names `folder` in it;
// false when that cannot be written.
bool OpenInstallJournal(const char* appName, const char* folder);
// Writes the line "<kind> <text>" when the key is open; false when it
// could not be saved.
bool JournalLine(const char* kind, const char* text);
// Closes the key; with `complete`, deletes it. Without, it stays unless
// nothing it notes is there (only files and folders, none of them made or
// all taken away again): then it goes too, and true is returned.
bool CloseInstallJournal(bool complete);

#endif
