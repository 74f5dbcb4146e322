#include "engine/files_in_use.h"

#include "base/messages.h"
#include "base/windows_version.h"
#include "engine/directory_path.h"
#include "engine/output_file.h"
#include "engine/self_registration.h"
#include "engine/shared_dll_count.h"
#include "engine/short_path.h"
#include "engine/system_folders.h"
#include "package/layout.h"
#include "state/install_settings.h"

namespace {

const char kReplacementSuffix[] = ".new";

SharedString ReplacementPath(const char* path) { return SharedString(path) + kReplacementSuffix; }

// The Windows 95 family carries out "wininit.ini" at its next start:
// "NUL=<path>" deletes, "<path>=<replacement>" renames. Its reader knows
// only short names.
void ScheduleInWininit(const char* path, const char* replacement) {
  SharedString wininit;
  GetDestinationBase(layout::kDestinationWindows, wininit);
  wininit += "\\wininit.ini";
  const SharedString shortReplacement = ShortPathOf(replacement);
  const SharedString shortPath = ShortPathOf(path);
  WritePrivateProfileStringA("rename", "NUL", shortPath, wininit);
  WritePrivateProfileStringA("rename", shortPath, shortReplacement, wininit);
}

}  // namespace

HANDLE OpenInstallTarget(const FileRecord& record, InstallTarget& target, FileDataStream& data,
                         uint64_t tableEnd, CreatedItems& created) {
  HANDLE file = OpenForWriting(target.path);
  if (file != INVALID_HANDLE_VALUE) {
    if (!target.existed) created.AddFile(target.path);
    return file;
  }
  if (record.ReplaceIfInUse == 0) {
    ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, target.path);
    return INVALID_HANDLE_VALUE;
  }
  Settings.RestartNeeded = true;
  if (!data.WaitFor(tableEnd, FileDataStream::Wait::kStreamChecked)) return INVALID_HANDLE_VALUE;
  const SharedString replacement = ReplacementPath(target.path);
  const bool replacementExisted = FileExists(replacement);
  file = OpenForWriting(replacement);
  if (file == INVALID_HANDLE_VALUE) {
    ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, target.path);
    return INVALID_HANDLE_VALUE;
  }
  if (!replacementExisted) created.AddFile(replacement);
  target.redirected = true;
  return file;
}

void FinishInstalledFile(const FileRecord& record, const InstallTarget& target) {
  if (target.redirected) ScheduleReplacement(target.path, ReplacementPath(target.path));
  // A redirected file is registered and counted under the name it will
  // have after the restart.
  if (record.SelfRegister != 0) RegisterFile(target.path);
  if (record.SharedDll != 0) CountSharedFile(target.path, target.existed);
}

void ScheduleReplacement(const char* path, const char* replacement) {
  if (!IsWindowsNT()) {
    ScheduleInWininit(path, replacement);
    return;
  }
  // Windows carries out delayed moves in the order they were made.
  MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  MoveFileExA(replacement, path, MOVEFILE_DELAY_UNTIL_REBOOT);
}
