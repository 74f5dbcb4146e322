// "Uninst.log" in the destination directory, the install record beside it
// (engine/install_record.h), and the uninstaller's entry in the system's
// list of installed programs, which keeps the digests of both.
//
// The log is text in the system code page, every line ended by "\n" alone:
//   the application name
//   "CheckProgramNotRunning" or "Don'tCheckProgramNotRunning"
//   the program's window class        (only with "CheckProgramNotRunning")
//   the number of shortcuts, then one line per shortcut file
//   the number of shared files, then one line per counted shared file
// Nothing else: not the installed files (the record has them), registry
// records or associations. Other programs may read the log: it stays as it
// is.
#ifndef VANTOREL_ENGINE_UNINSTALL_LOG_H
#define VANTOREL_ENGINE_UNINSTALL_LOG_H

// Before setup writes anything of the application: the application's
// Uninstall entry, when it has none, with only what finds and starts the
// uninstaller, and the journal of the install under way opened
// (base/install_journal.h). False when either cannot be written: then
// nothing could remove what the install would write.
bool BeginInstallUnderWay();
// The end of the install under way: `complete` once the log, the record and
// the entry are written; otherwise the journal stays unless nothing it
// notes is there, and then an entry made by BeginInstallUnderWay goes too.
void EndInstallUnderWay(bool complete);

// Writes the log, then the record, then the Uninstall registration. Both
// files are written as new files and put in place through their handles.
// True when all three are there; otherwise the failure was reported (a
// file that cannot be written with IDS_OPEN_FILE or IDS_WRITE_FILE naming
// it, the entry with IDS_CREATE_REGISTRY_KEY or IDS_SAVE_REGISTRY_KEY),
// the earlier log and record are back in their places, and the caller
// undoes the install: an install nothing could remove is worse than none.
bool WriteUninstallLog();

#endif
