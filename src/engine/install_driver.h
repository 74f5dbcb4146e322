// The install engine's outer frame: one pass over the package's data block,
// from the uninstaller to the associations, shown through `progress`.
#ifndef VANTOREL_ENGINE_INSTALL_DRIVER_H
#define VANTOREL_ENGINE_INSTALL_DRIVER_H

#include "engine/created_items.h"
#include "engine/file_data_stream.h"
#include "package/package_input.h"
#include "state/install_progress.h"

// Installs what the package holds, starting at InstallSettings'
// PackageOffset. True when every section was processed; false after a
// reported failure or a confirmed Cancel. What was written stays, unless
// the file data turned out damaged: then every file and folder this run
// created is removed again. The progress is closed on success and on
// Cancel; after a failure it stays until the process ends.
bool RunInstall(InstallProgress& progress);

// The file table (D2) and the file data (D3) from the current position of
// `input`, with the file loop, which writes while the data is unpacked
// within `budget`. Whatever stops the install here, what it created goes
// again when the package's bytes turn out damaged (nothing written from
// them can be trusted), and installed files keep their bytes; once the data
// has passed its check the files written are finished (see WrittenFiles).
// True when every file was installed.
bool InstallFiles(PackageInput& input, InstallProgress& progress, CreatedItems& created,
                  const FileDataBudget& budget = kInstallBudget);

#endif
