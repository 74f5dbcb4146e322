#include "uninstaller/recorded_items.h"

#include <windows.h>
#include <string.h>

#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/uninstall_names.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/folder_listing.h"
#include "uninstaller/left_items.h"
#include "uninstaller/uninstaller_text_ids.h"

namespace {

struct Removing {
  HeldFolders& held;
  const SharedString& folder;
  const InstallRecord& record;
  const KeptFiles& kept;
  LeftItems& left;
  SharedString sharedPaths;  // left to ReleaseSharedFiles
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
  const SharedString below =
      path.Middle(removing.folder.Length() + 1, path.Length() - removing.folder.Length() - 1);
  return ListHoldsPath(removing.record.files, below) ||
         ListHoldsPath(removing.record.folders, below) || IsSamePath(below, uninstall::kLogName) ||
         IsSamePath(below, uninstall::kRecordName);
}

void RemoveOwnFile(Removing& removing, const SharedString& path) {
  if (ListHoldsPath(removing.sharedPaths, path) || IsUninstallerItself(path)) return;
  RemoveFile(removing.held, path, removing.left);
}

// A folder that did not go: names what setup did not install in it. A
// recorded one (`recorded`) is named itself when nothing else tells why it
// stays.
void ExplainFolder(Removing& removing, const SharedString& path, bool recorded) {
  bool kept = false, other = false;
  FolderListing listing(removing.held.Find(path));
  for (SharedString name; listing.Next(name);) {
    const SharedString item = path + "\\" + name;
    if (removing.kept.Holds(item)) {
      kept = true;
    } else {
      // One of its own has its own line saying why it stayed.
      if (!IsOwn(removing, item)) removing.left.Add(IDS_UN_LEFT_NOT_INSTALLED, item);
      other = true;
    }
  }
  if (!recorded || other) return;
  removing.left.Add(kept ? IDS_UN_LEFT_FOLDER_SHARED : IDS_UN_LEFT_FOLDER, path);
}

void RemoveOwnFolder(Removing& removing, const SharedString& path) {
  switch (EnterFolder(removing.held, path)) {
    case Holding::kMissing:
      return;
    case Holding::kNotItself:
      removing.left.Add(IDS_UN_LEFT_LINK, path);
      return;
    case Holding::kHeld:
      break;
  }
  if (!RemoveEmptyFolder(removing.held, path)) ExplainFolder(removing, path, true);
}

// "." is the folder itself: depth 0.
int Depth(const char* below) {
  if (strcmp(below, ".") == 0) return 0;
  int depth = 1;
  for (const char* c = below; *c != '\0'; ++c) depth += *c == '\\';
  return depth;
}

}  // namespace

void RemoveRecordedItems(HeldFolders& held, const SharedString& folder, const InstallRecord& record,
                         const KeptFiles& kept, LeftItems& left, bool keepLog) {
  Removing removing = {held, folder, record, kept, left, SharedString()};
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
  if (!keepLog) {
    RemoveOwnFile(removing, InFolder(folder, uninstall::kLogName));
    RemoveOwnFile(removing, InFolder(folder, uninstall::kRecordName));
  }
  int deepest = 0;
  for (int position = 0; NextPath(record.folders, position, path);) {
    if (Depth(path) > deepest) deepest = Depth(path);
  }
  for (int depth = deepest; depth >= (keepLog ? 1 : 0); --depth) {
    for (int position = 0; NextPath(record.folders, position, path);) {
      if (Depth(path) == depth) RemoveOwnFolder(removing, InFolder(folder, path));
    }
  }
  // The application's folder was there before the install: it stays, and
  // so does what setup did not put there.
  if (!ListHoldsPath(record.folders, ".")) ExplainFolder(removing, folder, false);
}
