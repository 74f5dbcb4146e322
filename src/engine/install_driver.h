// The install engine's outer frame: the progress dialog, and one pass over
// the package's data block from the uninstaller to the associations.
#ifndef VANTOREL_ENGINE_INSTALL_DRIVER_H
#define VANTOREL_ENGINE_INSTALL_DRIVER_H

// Installs what the package holds, starting at InstallSettings'
// PackageOffset. True when every section was processed; false after a
// reported failure or a confirmed Cancel. Nothing written is undone.
bool RunInstall();

#endif
