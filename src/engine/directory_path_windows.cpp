#include "engine/directory_path.h"

#include <windows.h>

#include "base/path_rules.h"
#include "engine/created_items.h"
#include "engine/held_folders.h"
#include "engine/install_record.h"

namespace {

struct Walk {
  CreatedItems* created;
  bool made;
  SharedString* notItself;  // null: nothing is checked or held
};

// The drive or share, and the whole path again with its trailing "\",
// need no look of their own.
bool PathExists(const char* path, void* context) {
  Walk* walk = static_cast<Walk*>(context);
  if (walk->notItself == nullptr || IsRootFolder(path) || EndsWithSeparator(path)) {
    return FileExists(path);
  }
  switch (HeldApplicationFolders.Hold(path)) {
    case Holding::kHeld:
      return true;
    case Holding::kMissing:
      return false;
    case Holding::kNotItself:
      break;
  }
  *walk->notItself = path;
  return false;
}

bool MakeDirectory(const char* path, void* context) {
  Walk* walk = static_cast<Walk*>(context);
  if ((walk->notItself != nullptr && !walk->notItself->IsEmpty()) ||
      !CreateDirectoryA(path, nullptr)) {
    return false;
  }
  RecordCreatedFolder(path);
  if (walk->created != nullptr) walk->created->AddFolder(path);
  walk->made = true;
  if (walk->notItself == nullptr || HeldApplicationFolders.Hold(path) == Holding::kHeld)
    return true;
  *walk->notItself = path;
  return false;
}

}  // namespace

bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool CreateDirectoryPath(const char* path, CreatedItems* created, bool* made,
                         SharedString* notItself) {
  Walk walk = {created, false, notItself};
  if (notItself != nullptr) notItself->Empty();
  const DirectoryOperations real = {PathExists, MakeDirectory, &walk};
  bool done = CreateDirectoryPathWith(path, real);
  if (made != nullptr) *made = walk.made;
  return done;
}
