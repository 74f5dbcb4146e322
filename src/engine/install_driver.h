// The install engine's outer frame: one pass over the package's data block,
// from the uninstaller to the associations, shown through `progress`.
#ifndef VANTOREL_ENGINE_INSTALL_DRIVER_H
#define VANTOREL_ENGINE_INSTALL_DRIVER_H

#include "engine/created_items.h"
#include "engine/file_data_stream.h"
#include "engine/written_files.h"
#include "package/file_table.h"
#include "package/package_input.h"
#include "state/install_progress.h"

// What an install changed, kept from the start of the install until the
// uninstall log, record and entry are written: until then it can be undone.
struct InstallChanges {
  CreatedItems created;
  FileTable files;
  WrittenFiles written;
};

// Installs what the package holds, starting at InstallSettings'
// PackageOffset. True when every section was processed: the files are in
// place, finished by CompleteInstall. False after a reported failure or a
// confirmed Cancel. What was written then stays, unless the package turned
// out damaged: then every file and folder this run created is removed
// again, and the files it replaced come back. The progress is closed on success and on Cancel;
// after a failure it stays until the process ends.
bool RunInstall(InstallProgress& progress);

// After RunInstall and the shortcuts: the uninstall log, the record and the
// Uninstall entry (engine/uninstall_log.h), then the files finished
// (WrittenFiles::Finish). When the three cannot be written the install is
// undone instead, as far as it can be: the files it replaced come back,
// the files, folders and shortcuts it made go (the registry records and
// associations stay); false.
bool CompleteInstall();

// The file table (D2) and the file data (D3) from the current position of
// `input`, with the file loop, which writes while the data is unpacked
// within `budget`. Whatever stops the install here, what it created goes
// again when the package's bytes turn out damaged (nothing written from
// them can be trusted), and installed files keep their bytes. Once the data
// has passed its check the files written are put in place; when the loop
// stopped they are finished too (see WrittenFiles), else that waits for
// the caller (WrittenFiles::Finish or Undo). True when every file was
// installed.
bool InstallFiles(PackageInput& input, InstallProgress& progress, InstallChanges& changes,
                  const FileDataBudget& budget = kInstallBudget);

#endif
