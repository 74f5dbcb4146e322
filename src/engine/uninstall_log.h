// "Uninst.log" in the destination directory and the uninstaller's entry in
// the system's list of installed programs.
//
// The log is text in the system code page, every line ended by "\n" alone:
//   the application name
//   "CheckProgramNotRunning" or "Don'tCheckProgramNotRunning"
//   the program's window class        (only with "CheckProgramNotRunning")
//   the number of shortcuts, then one line per shortcut file
//   the number of shared files, then one line per counted shared file
// Nothing else: not the installed files, registry records or associations.
#ifndef VANTOREL_ENGINE_UNINSTALL_LOG_H
#define VANTOREL_ENGINE_UNINSTALL_LOG_H

// Writes the log and the Uninstall registration; failures are reported and
// the run goes on to its closing dialog. A log that cannot be written
// leaves no Uninstall entry.
void WriteUninstallLog();

#endif
