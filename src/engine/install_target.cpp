#include "engine/install_target.h"

#include "base/file_handles.h"
#include "base/install_journal.h"
#include "base/install_scope.h"
#include "base/messages.h"
#include "base/run_log.h"
#include "base/windows_version.h"
#include "engine/directory_path.h"
#include "engine/file_in_use.h"
#include "engine/install_record.h"
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
    if (!JournalLine("file", path)) return INVALID_HANDLE_VALUE;  // not made unnoted
    HANDLE file = CreateNewFile(path);
    if (file != INVALID_HANDLE_VALUE) created.AddFile(path);
    return file;
  }
  if (!CanOverwrite(path)) return INVALID_HANDLE_VALUE;
  target.staging = CreateStagingFile(target.folder);
  return target.staging;
}

// What becomes of a file that a program keeps from being written or
// replaced now: nothing when the record does not allow its replacement at
// the next start; that replacement where the way to it allows it
// (MayReplaceAtRestart); else the user is asked to close the program, and
// the install tries again or stops (the question said why).
enum class InUse { kFail, kRedirect, kRetry, kCancelled };
InUse WhenInUse(const FileRecord& record, const InstallTarget& target) {
  if (record.ReplaceIfInUse == 0) return InUse::kFail;
  if (MayReplaceAtRestart(target.folder)) return InUse::kRedirect;
  return AskToCloseProgramUsing(target.path) ? InUse::kRetry : InUse::kCancelled;
}

void CloseIfOpen(HANDLE handle) {
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}

}  // namespace

bool PutInPlace(HANDLE staging, const char* folder, const char* destination, Placement& placement) {
  placement.aside = INVALID_HANDLE_VALUE;
  const DWORD attributes = GetFileAttributesA(destination);
  // A folder of that name is not moved aside.
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    placement.aside = MoveAside(folder, destination);
    if (placement.aside == INVALID_HANDLE_VALUE) return false;
  }
  MarkForDeletion(staging, false);
  if (RenameThroughHandle(staging, destination)) {
    CloseHandle(staging);
    return true;
  }
  MarkForDeletion(staging);
  if (placement.aside != INVALID_HANDLE_VALUE) {
    MarkForDeletion(placement.aside, false);
    RenameThroughHandle(placement.aside, destination);
    CloseHandle(placement.aside);
    placement.aside = INVALID_HANDLE_VALUE;
  }
  return false;
}

bool PlaceWholeFile(const SharedString& folder, const char* path, const void* data, DWORD size,
                    Placement& placement) {
  const SharedString directory = folder + "\\";
  HANDLE file = CreateStagingFile(directory);
  if (file == INVALID_HANDLE_VALUE) {
    ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, path);
    return false;
  }
  DWORD written = 0;
  unsigned failure = 0;
  if (!WriteFile(file, data, size, &written, nullptr) || written != size) {
    failure = IDS_WRITE_FILE;
  } else if (!PutInPlace(file, directory, path, placement)) {
    failure = IDS_OPEN_FILE;
  }
  if (failure == 0) return true;
  MarkForDeletion(file);
  CloseHandle(file);
  ShowError(nullptr, Settings.SetupCaption, failure, path);
  return false;
}

void TakeBack(const char* destination, const Placement& placement) {
  DeleteItself(destination);
  if (placement.aside != INVALID_HANDLE_VALUE) {
    MarkForDeletion(placement.aside, false);
    RenameThroughHandle(placement.aside, destination);
    CloseHandle(placement.aside);
  }
}

void DropMovedAside(const Placement& placement) {
  if (placement.aside != INVALID_HANDLE_VALUE) MarkForDeletion(placement.aside);
  CloseIfOpen(placement.aside);
}

HANDLE OpenInstallTarget(const FileRecord& record, InstallTarget& target, CreatedItems& created) {
  for (;;) {
    HANDLE file = OpenDestination(target.path, target.existed, target, created);
    if (file != INVALID_HANDLE_VALUE) return file;
    // A new file's name taken meanwhile (a link that leads nowhere, which no
    // look shows) is no file in use to be replaced at the next start.
    if (!target.existed && GetLastError() == ERROR_FILE_EXISTS) break;
    const InUse inUse = WhenInUse(record, target);
    if (inUse == InUse::kRetry) continue;
    if (inUse == InUse::kCancelled) return INVALID_HANDLE_VALUE;
    if (inUse == InUse::kRedirect) {
      Settings.RestartNeeded = true;
      const SharedString replacement = ReplacementPath(target.path);
      file = OpenDestination(replacement, FileExists(replacement), target, created);
      target.redirected = file != INVALID_HANDLE_VALUE;
      if (target.redirected) return file;
    }
    break;
  }
  ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, target.path);
  return INVALID_HANDLE_VALUE;
}

bool PlaceStagedFile(const FileRecord& record, InstallTarget& target, Placement& placement) {
  const SharedString replacement = ReplacementPath(target.path);
  for (;;) {
    if (PutInPlace(target.staging, target.folder, target.redirected ? replacement : target.path,
                   placement)) {
      return true;
    }
    if (target.redirected) break;
    const InUse inUse = WhenInUse(record, target);
    if (inUse == InUse::kRetry) continue;
    if (inUse == InUse::kCancelled) return false;
    if (inUse == InUse::kRedirect &&
        PutInPlace(target.staging, target.folder, replacement, placement)) {
      Settings.RestartNeeded = true;
      target.redirected = true;
      return true;
    }
    break;
  }
  ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, target.path);
  return false;
}

void UndoPlacement(const InstallTarget& target, const Placement& placement) {
  TakeBack(target.redirected ? ReplacementPath(target.path) : target.path, placement);
}

void NoteInstalledFile(const FileRecord& record, const InstallTarget& target) {
  LogLine(target.redirected ? "Scheduled: %s" : "Written: %s", target.path.Text());
  RecordInstalledFile(record.DestinationType, target.path, target.existed);
  // A redirected file is counted under the name it will have after the
  // restart.
  if (record.SharedDll != 0) ListSharedFile(target.path);
}

void FinishInstalledFile(const FileRecord& record, const InstallTarget& target) {
  if (target.redirected) ScheduleReplacement(target.path, ReplacementPath(target.path));
  // A redirected file is registered under the name it will have after the
  // restart.
  if (record.SelfRegister != 0) RegisterFile(target.path);
}

void RaiseCountOf(const FileRecord& record, const InstallTarget& target) {
  if (record.SharedDll != 0) RaiseSharedCount(target.path, target.existed);
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
