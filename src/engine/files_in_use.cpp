#include "engine/files_in_use.h"

#include "engine/output_file.h"

// STAND-IN until replacement at restart is built: a destination that cannot
// be opened stops the install, as for a record without ReplaceIfInUse.
HANDLE OpenInstallTarget(const FileRecord&, const SharedString& target) {
  return CreateOutputFile(target);
}

// STAND-IN until self-registration and shared-DLL counts are built: nothing
// is registered or counted.
void FinishInstalledFile(const FileRecord&, const SharedString&, bool) {}
