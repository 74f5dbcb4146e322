// The install engine's outer frame: one pass over the package's data block,
// from the uninstaller to the associations, shown through `progress`.
#ifndef VANTOREL_ENGINE_INSTALL_DRIVER_H
#define VANTOREL_ENGINE_INSTALL_DRIVER_H

#include "state/install_progress.h"

// Installs what the package holds, starting at InstallSettings'
// PackageOffset. True when every section was processed; false after a
// reported failure or a confirmed Cancel. What was written stays, unless
// the file data turned out damaged: then every file and folder this run
// created is removed again. The progress is closed on success and on
// Cancel; after a failure it stays until the process ends.
bool RunInstall(InstallProgress& progress);

#endif
