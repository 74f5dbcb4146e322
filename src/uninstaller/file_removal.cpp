#include "uninstaller/file_removal.h"

#include <windows.h>
#include <winternl.h>

#include "base/install_scope.h"
#include "base/messages.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/platform.h"
#include "base/uninstall_names.h"
#include "uninstaller/left_items.h"
#include "uninstaller/uninstaller_text_ids.h"

namespace {

// Under the Windows folder, which only administrators can write: files in
// use wait there for the next start.
const char kWaitingFolder[] = "VTUnInst Pending";
// Names tried there before a file in use is left where it is.
const int kWaitingNameAttempts = 64;

const LONG kCannotDelete = static_cast<LONG>(0xC0000121);  // STATUS_CANNOT_DELETE
enum { kRenameInformation = 10, kBasicInformation = 4, kDispositionInformation = 13 };

struct BasicInformation {
  LARGE_INTEGER times[4];  // 0: unchanged
  ULONG attributes;
};
struct RenameInformation {
  BOOLEAN replaceIfExists;
  HANDLE rootDirectory;
  ULONG nameLength;  // in bytes
  WCHAR name[MAX_PATH];
};

// NtSetInformationFile: what a handle allows on every Windows of the NT
// family (the kernel32 forms of it come with Vista).
LONG SetInformation(HANDLE file, void* information, ULONG size, int kind) {
  typedef LONG(NTAPI * SetInformationFunction)(HANDLE, IO_STATUS_BLOCK*, void*, ULONG, int);
  static const SetInformationFunction set =
      reinterpret_cast<SetInformationFunction>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtSetInformationFile")));
  if (set == nullptr) return kCannotDelete;
  IO_STATUS_BLOCK status;
  return set(file, &status, information, size, kind);
}

// Marks what `handle` holds for deletion when its last handle closes.
LONG MarkForDeletion(HANDLE handle) {
  BOOLEAN deleteFile = TRUE;
  return SetInformation(handle, &deleteFile, sizeof deleteFile, kDispositionInformation);
}

bool ClearReadOnly(HANDLE handle, DWORD attributes) {
  BasicInformation basic = {};
  basic.attributes = attributes & ~FILE_ATTRIBUTE_READONLY;
  if (basic.attributes == 0) basic.attributes = FILE_ATTRIBUTE_NORMAL;
  return SetInformation(handle, &basic, sizeof basic, kBasicInformation) == 0;
}

// Deletion, or a read-only file's attribute cleared first when it has no
// other name that would change with it.
LONG Delete(HANDLE handle, const BY_HANDLE_FILE_INFORMATION& information) {
  LONG status = MarkForDeletion(handle);
  if (status == kCannotDelete && (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) &&
      information.nNumberOfLinks <= 1 && ClearReadOnly(handle, information.dwFileAttributes)) {
    status = MarkForDeletion(handle);
  }
  return status;
}

SharedString WaitingFolder() {
  char windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return SharedString();
  return SharedString(windows) + "\\" + kWaitingFolder;
}

// Moves the file in use into the waiting folder under a name of its own
// there and schedules its deletion, and the folder's after it, for the next
// start. A rename through the handle stays on the file's volume.
bool MoveAsideForRestart(HeldFolders& held, FileToRemove& file) {
  // That folder and the next start are an administrator's: a per-user
  // uninstall leaves the file where it is, named.
  if (IsPerUserScope()) return false;
  const SharedString waiting = WaitingFolder();
  if (waiting.IsEmpty()) return false;
  CreateDirectoryA(waiting, nullptr);
  if (held.Hold(waiting) != Holding::kHeld) return false;
  const char* name = file.path.Text() + LastSeparator(file.path) + 1;
  const DWORD first = GetTickCount() ^ GetCurrentProcessId();
  for (int attempt = 0; attempt < kWaitingNameAttempts; ++attempt) {
    SharedString waitingName;
    FormatString(waitingName, "%08lX %s", static_cast<unsigned long>(first + attempt), name);
    RenameInformation rename = {};
    rename.rootDirectory = held.Find(waiting);
    const int characters =
        MultiByteToWideChar(CP_ACP, 0, waitingName, waitingName.Length(), rename.name, MAX_PATH);
    if (characters == 0) return false;
    rename.nameLength = static_cast<ULONG>(characters * sizeof(WCHAR));
    const LONG status = SetInformation(file.handle, &rename, sizeof rename, kRenameInformation);
    if (status == static_cast<LONG>(0xC0000035)) continue;  // STATUS_OBJECT_NAME_COLLISION
    if (status != 0) return false;
    MoveFileExA(waiting + "\\" + waitingName, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(waiting, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return true;
  }
  return false;
}

}  // namespace

Holding EnterFolder(HeldFolders& held, const char* folder) {
  if (held.Find(folder) != nullptr) return Holding::kHeld;
  const SharedString path(folder);
  const int length = path.Length();
  // Each level in turn, top down; a trail byte equal to "\" is no separator.
  for (int end = 0; end <= length; ++end) {
    const unsigned char c = static_cast<unsigned char>(path.Text()[end]);
    if (end < length && platform::IsLeadByte(c) && end + 1 < length) {
      ++end;
      continue;
    }
    if (end < length && c != '\\') continue;
    const SharedString level = path.Middle(0, end);
    // The drive or share itself ("C:", "\\server", "\\server\share") is
    // taken as it is.
    if (level.IsEmpty() || IsRootFolder(level) || held.Find(level) != nullptr) continue;
    // DELETE: a folder of the application goes through this handle.
    const Holding holding = held.Hold(level, DELETE | FILE_WRITE_ATTRIBUTES);
    if (holding != Holding::kHeld) return holding;
  }
  return Holding::kHeld;
}

Opening OpenFileToRemove(HeldFolders& held, const char* path, FileToRemove& file, LeftItems& left) {
  file.path = path;
  const int separator = LastSeparator(path);
  switch (separator > 0 ? EnterFolder(held, file.path.Middle(0, separator)) : Holding::kNotItself) {
    case Holding::kHeld:
      break;
    case Holding::kMissing:
      return Opening::kGone;
    case Holding::kNotItself:
      left.Add(IDS_UN_LEFT_LINK, path);
      return Opening::kLeft;
  }
  // Read and write, not delete: nobody renames or replaces it meanwhile.
  file.handle =
      OpenItself(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                 FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (file.handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Opening::kGone;
    // A program holds it without letting it be moved.
    left.Add(error == ERROR_SHARING_VIOLATION ? IDS_UN_LEFT_IN_USE : IDS_UN_LEFT_NOT_REMOVED, path);
    return Opening::kLeft;
  }
  unsigned id = 0;
  if (!HoldsItself(file.handle, path)) {
    id = IDS_UN_LEFT_LINK;
  } else if (!GetFileInformationByHandle(file.handle, &file.information) ||
             (file.information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    id = IDS_UN_LEFT_NOT_REMOVED;
  }
  if (id == 0) return Opening::kOpen;
  CloseFileToRemove(file);
  left.Add(id, path);
  return Opening::kLeft;
}

Removal RemoveOpenedFile(HeldFolders& held, FileToRemove& file, LeftItems& left) {
  const bool otherNames = file.information.nNumberOfLinks > 1;
  const LONG status = Delete(file.handle, file.information);
  Removal removal = Removal::kDone;
  if (status == 0) {
    if (otherNames) left.Add(IDS_UN_LEFT_OTHER_NAMES, file.path);
  } else if (status == kCannotDelete && otherNames &&
             (file.information.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
    left.Add(IDS_UN_LEFT_READ_ONLY_NAMES, file.path);
    removal = Removal::kFailed;
  } else if (status == kCannotDelete && MoveAsideForRestart(held, file)) {
    // A running program's file: Windows lets it be renamed, not deleted.
    left.Add(IDS_UN_LEFT_AT_RESTART, file.path);
    removal = Removal::kAtRestart;
  } else {
    left.Add(status == kCannotDelete ? IDS_UN_LEFT_IN_USE : IDS_UN_LEFT_NOT_REMOVED, file.path);
    removal = Removal::kFailed;
  }
  CloseFileToRemove(file);
  return removal;
}

void CloseFileToRemove(FileToRemove& file) {
  if (file.handle != INVALID_HANDLE_VALUE) CloseHandle(file.handle);
  file.handle = INVALID_HANDLE_VALUE;
}

Removal RemoveFile(HeldFolders& held, const char* path, LeftItems& left) {
  FileToRemove file;
  switch (OpenFileToRemove(held, path, file, left)) {
    case Opening::kOpen:
      return RemoveOpenedFile(held, file, left);
    case Opening::kGone:
      return Removal::kDone;
    case Opening::kLeft:
      break;
  }
  return Removal::kFailed;
}

bool RemoveEmptyFolder(HeldFolders& held, const char* path) {
  if (EnterFolder(held, path) != Holding::kHeld) return false;
  HANDLE folder = held.Find(path);
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(folder, &information) || Delete(folder, information) != 0) {
    return false;
  }
  // Its last handle: the folder goes as it closes.
  held.Release(path);
  return true;
}

bool IsUninstallerItself(const char* path) {
  char own[MAX_PATH];
  const DWORD ownLength = GetModuleFileNameA(nullptr, own, MAX_PATH);
  if (ownLength > 0 && ownLength < MAX_PATH && IsSamePath(own, path)) return true;
  char windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  return IsSamePath(SharedString(windows) + "\\" + uninstall::kUninstallerName, path);
}

void KeptFiles::Add(const char* path) { AppendPath(paths_, path); }

bool KeptFiles::Holds(const char* path) const { return ListHoldsPath(paths_, path); }
