#include "engine/install_record.h"

#include <windows.h>

#include "base/install_journal.h"
#include "base/install_record_text.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "package/layout.h"
#include "state/install_settings.h"

namespace {

// The part of `path` below the destination folder: "." for the folder
// itself; empty when it lies elsewhere.
SharedString BelowDestination(const char* path) { return PathBelow(Settings.DestinationDir, path); }

}  // namespace

void RecordInstalledFile(unsigned destinationType, const char* path, bool existed) {
  if (destinationType == layout::kDestinationApplication) {
    const SharedString below = BelowDestination(path);
    if (!below.IsEmpty()) AppendPathOnce(Settings.Record.files, below);
    // A new file was noted as it was made; one replaced is noted now.
    if (existed) JournalLine("file", path);
  } else if (!existed) {
    AppendPathOnce(Settings.Record.outsideFiles, path);
  }
}

void RecordCreatedFolder(const char* path) {
  const SharedString below = BelowDestination(path);
  if (!below.IsEmpty()) AppendPathOnce(Settings.Record.folders, below);
}

SharedString InstallRecordToWrite() {
  InstallRecord record = Settings.Record;
  record.appName = Settings.Header.AppName;
  return InstallRecordText(record);
}
