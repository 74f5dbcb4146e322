#include "uninstaller/file_removal.h"

#include <windows.h>

#include <string.h>

#include "base/path_list.h"
#include "base/uninstall_names.h"
#include "uninstaller/left_items.h"
#include "uninstaller/path_rules.h"
#include "uninstaller/uninstaller_texts.h"

namespace {

// What stays below a folder being removed.
struct Remains {
  bool atRestart = false;  // files that go at the next start
  bool kept = false;       // kept files
  bool failed = false;     // anything else
};

bool IsDotEntry(const char* name) {
  return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

// Deleting fails on a read-only file or folder.
void ClearReadOnly(const char* path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
  }
}

bool ScheduleDeletion(const char* path) {
  return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

void RemoveTree(const SharedString& folder, const KeptFiles& kept, LeftItems& left,
                Remains& remains);

void RemoveEntry(const SharedString& path, const WIN32_FIND_DATAA& entry, const KeptFiles& kept,
                 LeftItems& left, Remains& remains) {
  const DWORD attributes = entry.dwFileAttributes;
  if (path.Length() >= MAX_PATH) {
    // Out of reach of the 8-bit functions.
    left.Add(IDS_UN_LEFT_NOT_REMOVED, path);
    remains.failed = true;
  } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) &&
             !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    RemoveTree(path, kept, left, remains);
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    // A link to a folder elsewhere: only the link goes.
    ClearReadOnly(path, attributes);
    if (!RemoveDirectoryA(path)) {
      left.Add(IDS_UN_LEFT_NOT_REMOVED, path);
      remains.failed = true;
    }
  } else if (kept.Holds(path) || IsUninstallerItself(path)) {
    remains.kept = true;
  } else {
    switch (RemoveFile(path, left)) {
      case Removal::kDone:
        break;
      case Removal::kAtRestart:
        remains.atRestart = true;
        break;
      case Removal::kFailed:
        remains.failed = true;
        break;
    }
  }
}

// Empties `folder` and removes it. What stays is added to `remains`.
void RemoveTree(const SharedString& folder, const KeptFiles& kept, LeftItems& left,
                Remains& remains) {
  Remains inside;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(folder + "\\*", &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (IsDotEntry(entry.cFileName)) continue;
      RemoveEntry(folder + "\\" + entry.cFileName, entry, kept, left, inside);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  ClearReadOnly(folder, GetFileAttributesA(folder));
  if (RemoveDirectoryA(folder)) return;
  // Scheduled after its files, so it is empty when its turn comes.
  if (inside.atRestart && !inside.kept && !inside.failed && ScheduleDeletion(folder)) {
    remains.atRestart = true;
    return;
  }
  remains.atRestart |= inside.atRestart;
  remains.kept |= inside.kept;
  // Without kept files inside, nothing explains why the folder stays.
  remains.failed |= inside.failed || !inside.kept;
}

// Deletes the file; see RemoveFile.
Removal DeleteOrSchedule(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Removal::kDone
                                                                          : Removal::kFailed;
  }
  ClearReadOnly(path, attributes);
  if (DeleteFileA(path)) return Removal::kDone;
  const DWORD error = GetLastError();
  // A running program's file refuses deletion with "access denied".
  if ((error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
       error == ERROR_ACCESS_DENIED) &&
      ScheduleDeletion(path)) {
    return Removal::kAtRestart;
  }
  return Removal::kFailed;
}

}  // namespace

Removal RemoveFile(const char* path, LeftItems& left) {
  const Removal removal = DeleteOrSchedule(path);
  if (removal == Removal::kAtRestart) left.Add(IDS_UN_LEFT_AT_RESTART, path);
  if (removal == Removal::kFailed) left.Add(IDS_UN_LEFT_NOT_REMOVED, path);
  return removal;
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

bool KeptFiles::Holds(const char* path) const {
  SharedString kept;
  for (int position = 0; NextPath(paths_, position, kept);) {
    if (IsSamePath(kept, path)) return true;
  }
  return false;
}

void RemoveFolderTree(const SharedString& folder, const KeptFiles& kept, LeftItems& left) {
  Remains remains;
  if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) return;  // gone already
  RemoveTree(folder, kept, left, remains);
  if (remains.failed) {
    left.Add(IDS_UN_LEFT_FOLDER, folder);
  } else if (remains.kept) {
    left.Add(IDS_UN_LEFT_FOLDER_SHARED, folder);
  } else if (remains.atRestart) {
    left.Add(IDS_UN_LEFT_FOLDER_AT_RESTART, folder);
  }
}
