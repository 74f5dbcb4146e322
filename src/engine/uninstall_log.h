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

// Writes the log, then the record, then the Uninstall registration;
// failures are reported (a file that cannot be written with IDS_OPEN_FILE or IDS_WRITE_FILE
// naming it) and the run goes on to its closing dialog. Both are written
// as new files renamed over the old ones. A log that cannot be written
// leaves the earlier log, record and Uninstall entry as they were; a record
// that cannot be written after the log was leaves the entry's digests
// vouching for neither, so the uninstaller refuses the folder until setup
// runs again.
void WriteUninstallLog();

#endif
