#include "engine/install_target.h"

#include "base/install_scope.h"
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
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

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

// Without an administrator Windows replaces nothing at its next start: a
// per-user package's file is replaced at the user's next sign-in, by a
// command that Windows runs once from the user's RunOnce key, a value named
// after the file (an install repeated before then schedules it once).
bool ScheduleAtSignIn(const char* path, const char* replacement) {
  SharedString system, command;
  GetDestinationBase(layout::kDestinationSystem, system);
  FormatString(command, "\"%s\\cmd.exe\" /c move /y \"%s\" \"%s\"", system.Text(), replacement,
               path);
  HKEY key;
  if (RegCreateKeyA(HKEY_CURRENT_USER, kRunOnceKey, &key) != ERROR_SUCCESS) return false;
  const bool saved =
      RegSetValueExA(key, path, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.Text()),
                     static_cast<DWORD>(command.Length()) + 1) == ERROR_SUCCESS;
  RegCloseKey(key);
  return saved;
}

// The file that takes the bytes for `path`: the file itself when it is
// new, else, when it could be overwritten, a staging file beside it.
HANDLE OpenDestination(const char* path, bool existed, InstallTarget& target,
                       CreatedItems& created) {
  if (!existed) {
    HANDLE file = CreateNewFile(path);
    if (file != INVALID_HANDLE_VALUE) created.AddFile(path);
    return file;
  }
  if (!CanOverwrite(path)) return INVALID_HANDLE_VALUE;
  HANDLE file = CreateStagingFile(target.folder, &target.staging);
  target.staged = file != INVALID_HANDLE_VALUE;
  return file;
}

// Puts `staging` at `destination`; a file already there moves aside to a
// staging name first, so that it can come back.
bool MoveIntoPlace(const char* folder, const char* staging, const char* destination,
                   Placement& placement) {
  placement.movedAside = false;
  if (GetFileAttributesA(destination) != INVALID_FILE_ATTRIBUTES) {
    if (!MoveToStagingName(folder, destination, &placement.aside)) return false;
    placement.movedAside = true;
  }
  if (MoveFileExA(staging, destination, 0)) return true;
  if (placement.movedAside) {
    MoveFileExA(StagingPath(folder, placement.aside), destination, 0);
    placement.movedAside = false;
  }
  return false;
}

}  // namespace

HANDLE OpenInstallTarget(const FileRecord& record, InstallTarget& target, CreatedItems& created) {
  HANDLE file = OpenDestination(target.path, target.existed, target, created);
  if (file != INVALID_HANDLE_VALUE) return file;
  // A new file's name taken meanwhile (a link that leads nowhere, which no
  // look shows) is no file in use to be replaced at the next start.
  if (record.ReplaceIfInUse != 0 && (target.existed || GetLastError() != ERROR_FILE_EXISTS)) {
    Settings.RestartNeeded = true;
    const SharedString replacement = ReplacementPath(target.path);
    file = OpenDestination(replacement, FileExists(replacement), target, created);
    target.redirected = file != INVALID_HANDLE_VALUE;
  }
  if (file == INVALID_HANDLE_VALUE) {
    ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, target.path);
  }
  return file;
}

bool PlaceStagedFile(const FileRecord& record, InstallTarget& target, Placement& placement) {
  const SharedString staging = StagingPath(target.folder, target.staging);
  const SharedString replacement = ReplacementPath(target.path);
  if (MoveIntoPlace(target.folder, staging, target.redirected ? replacement : target.path,
                    placement)) {
    return true;
  }
  if (!target.redirected && record.ReplaceIfInUse != 0 &&
      MoveIntoPlace(target.folder, staging, replacement, placement)) {
    Settings.RestartNeeded = true;
    target.redirected = true;
    return true;
  }
  ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, target.path);
  return false;
}

void UndoPlacement(const InstallTarget& target, const Placement& placement) {
  const SharedString destination = target.redirected ? ReplacementPath(target.path) : target.path;
  MoveFileExA(destination, StagingPath(target.folder, target.staging), 0);
  if (placement.movedAside) {
    MoveFileExA(StagingPath(target.folder, placement.aside), destination, 0);
  }
}

void FinishInstalledFile(const FileRecord& record, const InstallTarget& target) {
  if (target.redirected) ScheduleReplacement(target.path, ReplacementPath(target.path));
  // A redirected file is registered and counted under the name it will
  // have after the restart.
  if (record.SelfRegister != 0) RegisterFile(target.path);
  if (record.SharedDll != 0) CountSharedFile(target.path, target.existed);
}

void ScheduleReplacement(const char* path, const char* replacement) {
  if (IsPerUserScope()) {
    if (!ScheduleAtSignIn(path, replacement)) {
      ShowError(nullptr, Settings.SetupCaption, IDS_SAVE_REGISTRY_KEY);
    }
    return;
  }
  if (!IsWindowsNT()) {
    ScheduleInWininit(path, replacement);
    return;
  }
  // Windows carries out delayed moves in the order they were made.
  MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  MoveFileExA(replacement, path, MOVEFILE_DELAY_UNTIL_REBOOT);
}
