#include "uninstaller/recorded_items.h"

#include <windows.h>

#include <string.h>

#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/uninstall_names.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/left_items.h"
#include "uninstaller/uninstaller_texts.h"

namespace {

struct Removing {
  const SharedString& folder;
  const InstallRecord& record;
  const KeptFiles& kept;
  LeftItems& left;
  SharedString sharedPaths;  // left to ReleaseSharedFiles
  SharedString pending;      // files and folders that go at the next start
  SharedString pendingFolders;
};

SharedString InFolder(const SharedString& folder, const char* below) {
  return strcmp(below, ".") == 0 ? folder : folder + "\\" + below;
}

// Whether `path` is one of the application's own: recorded, or the log or
// the record. Those that stay have a line of their own already.
bool IsOwn(const Removing& removing, const SharedString& path) {
  if (ListHoldsPath(removing.record.outsideFiles, path) ||
      ListHoldsPath(removing.sharedPaths, path)) {
    return true;
  }
  const SharedString below = path.Middle(removing.folder.Length() + 1,
                                         path.Length() - removing.folder.Length() - 1);
  return ListHoldsPath(removing.record.files, below) ||
         ListHoldsPath(removing.record.folders, below) ||
         IsSamePath(below, uninstall::kLogName) || IsSamePath(below, uninstall::kRecordName);
}

void RemoveOwnFile(Removing& removing, const SharedString& path) {
  if (ListHoldsPath(removing.sharedPaths, path) || IsUninstallerItself(path) ||
      !IsReachedDirectly(path, removing.left)) {
    return;
  }
  if (RemoveFile(path, removing.left) == Removal::kAtRestart) AppendPath(removing.pending, path);
}

// A folder that did not go: names what setup did not install in it. A
// recorded one (`recorded`) is scheduled for the next start when only what
// goes then is left in it, else the line tells why it stays when nothing
// else does.
void ExplainFolder(Removing& removing, const SharedString& path, bool recorded) {
  bool pendingOnly = true, kept = false, other = false;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(path + "\\*", &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0) continue;
      const SharedString item = path + "\\" + entry.cFileName;
      if (ListHoldsPath(removing.pending, item)) continue;
      pendingOnly = false;
      if (removing.kept.Holds(item)) {
        kept = true;
      } else if (!IsOwn(removing, item)) {
        removing.left.Add(IDS_UN_LEFT_NOT_INSTALLED, item);
        other = true;
      } else {
        other = true;  // its own line says why it stayed
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  if (!recorded) return;
  // Scheduled after what it holds, so it is empty when its turn comes.
  if (pendingOnly && ScheduleDeletion(path)) {
    AppendPath(removing.pending, path);
    AppendPath(removing.pendingFolders, path);
  } else if (kept && !other) {
    removing.left.Add(IDS_UN_LEFT_FOLDER_SHARED, path);
  } else if (pendingOnly || !other) {
    removing.left.Add(IDS_UN_LEFT_FOLDER, path);
  }
}

void RemoveOwnFolder(Removing& removing, const SharedString& path) {
  if (IsReachedDirectly(path, removing.left) && !RemoveEmptyFolder(path)) {
    ExplainFolder(removing, path, true);
  }
}

// "." is the folder itself: depth 0.
int Depth(const char* below) {
  if (strcmp(below, ".") == 0) return 0;
  int depth = 1;
  for (const char* c = below; *c != '\0'; ++c) depth += *c == '\\';
  return depth;
}

}  // namespace

void RemoveRecordedItems(const SharedString& folder, const InstallRecord& record,
                         const KeptFiles& kept, LeftItems& left) {
  Removing removing = {folder, record, kept, left, SharedString(), SharedString(),
                       SharedString()};
  SharedString path;
  int raises = 0;
  for (int position = 0; NextSharedFile(record.sharedFiles, position, path, raises);) {
    AppendPath(removing.sharedPaths, path);
  }
  for (int position = 0; NextPath(record.files, position, path);) {
    RemoveOwnFile(removing, InFolder(folder, path));
  }
  for (int position = 0; NextPath(record.outsideFiles, position, path);) {
    RemoveOwnFile(removing, path);
  }
  RemoveOwnFile(removing, InFolder(folder, uninstall::kLogName));
  RemoveOwnFile(removing, InFolder(folder, uninstall::kRecordName));
  int deepest = 0;
  for (int position = 0; NextPath(record.folders, position, path);) {
    if (Depth(path) > deepest) deepest = Depth(path);
  }
  for (int depth = deepest; depth >= 0; --depth) {
    for (int position = 0; NextPath(record.folders, position, path);) {
      if (Depth(path) == depth) RemoveOwnFolder(removing, InFolder(folder, path));
    }
  }
  // The application's folder was there before the install: it stays, and
  // so does what setup did not put there.
  if (!ListHoldsPath(record.folders, ".")) ExplainFolder(removing, folder, false);
  // One line for a tree of folders that goes at the next start.
  for (int position = 0; NextPath(removing.pendingFolders, position, path);) {
    const int separator = LastSeparator(path);
    if (separator < 0 || !ListHoldsPath(removing.pendingFolders, path.Middle(0, separator))) {
      left.Add(IDS_UN_LEFT_FOLDER_AT_RESTART, path);
    }
  }
}
