#include "engine/files_in_use.h"

#include "app/install_settings.h"
#include "base/messages.h"

// STAND-IN until replacement at restart is built: a destination that cannot
// be opened stops the install, as for a record without ReplaceIfInUse.
HANDLE OpenInstallTarget(const FileRecord&, const SharedString& target) {
  HANDLE file = INVALID_HANDLE_VALUE;
  if (target.Length() < MAX_PATH) {
    file = CreateFileA(target, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, target);
  return file;
}

// STAND-IN until self-registration and shared-DLL counts are built: nothing
// is registered or counted.
void FinishInstalledFile(const FileRecord&, const SharedString&, bool) {}
