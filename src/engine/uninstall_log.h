// "Uninst.log" in the destination directory and the uninstaller's entry in
// the system's list of installed programs.
#ifndef VANTOREL_ENGINE_UNINSTALL_LOG_H
#define VANTOREL_ENGINE_UNINSTALL_LOG_H

// Writes the log and the Uninstall registration; failures are reported and
// the run goes on to its closing dialog.
void WriteUninstallLog();

#endif
