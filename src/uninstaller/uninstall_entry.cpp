#include "uninstaller/uninstall_entry.h"

#include <windows.h>

#include "base/install_journal.h"
#include "base/install_scope.h"
#include "base/path_rules.h"
#include "uninstaller/command_line.h"
#include "uninstaller/left_items.h"
#include "uninstaller/uninstaller_text_ids.h"

bool ReadUninstallEntry(const char* appName, const char* logPath, UninstallEntry& entry) {
  RegisteredEntry registered;
  SharedString registeredLog;
  if (!ReadRegisteredEntry(appName, registered) ||
      !LogPathFromCommandLine(registered.uninstallString, registeredLog) ||
      !IsSamePath(registeredLog, logPath)) {
    return false;
  }
  entry.logDigest = registered.logDigest;
  entry.recordDigest = registered.recordDigest;
  return true;
}

void RemoveUninstallEntry(const char* appName, LeftItems& left) {
  // The key holds values only, the package's own among them, and the
  // journal of an install under way (base/install_journal.h).
  DeleteInstallJournal(appName);
  const LONG result = RegDeleteKeyA(ScopeRoot(), UninstallKeyName(appName));
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
    left.Add(IDS_UN_LEFT_ENTRY, appName);
  }
}
