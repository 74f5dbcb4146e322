#include "engine/directory_path.h"

#include <windows.h>

#include "base/folder_security.h"
#include "base/install_journal.h"
#include "base/path_rules.h"
#include "engine/created_items.h"
#include "engine/held_folders.h"
#include "engine/install_record.h"

namespace {

// What setup may do with the folders it holds: read their permissions and
// secure them. Not DELETE: a handle with it keeps every program that does
// not share deletion (most list folders so) from opening the folder.
const DWORD kHeldAccess = READ_CONTROL | WRITE_DAC | WRITE_OWNER;

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
  switch (HeldApplicationFolders.Hold(path, kHeldAccess)) {
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

// Whether a folder made in the parent of `path` would be open to others:
// the parent lets them change what it holds, or passes such rights on.
bool ParentIsOpen(const char* path) {
  SharedString parent = SharedString(path).Middle(0, LastSeparator(path));
  if (IsRootFolder(parent) && !EndsWithSeparator(parent)) parent += "\\";
  HANDLE held = HeldApplicationFolders.Find(parent);
  return held != nullptr ? IsOpenToOthers(held) : IsFolderOpenToOthers(parent);
}

// An administrator's folder that would be open to others is made with
// Program Files' permissions instead; elsewhere it inherits its parent's.
bool MakeDirectory(const char* path, void* context) {
  Walk* walk = static_cast<Walk*>(context);
  if (walk->notItself != nullptr && !walk->notItself->IsEmpty()) return false;
  SECURITY_ATTRIBUTES* attributes =
      RunsAsAdministrator() && ParentIsOpen(path) ? AdminOnlyAttributes() : nullptr;
  // Noted before it is made: a run stopped at once leaves nothing unnoted,
  // and what cannot be noted is not made.
  if (!JournalLine("folder", path) || !CreateDirectoryA(path, attributes)) return false;
  RecordCreatedFolder(path);
  if (walk->created != nullptr) walk->created->AddFolder(path);
  walk->made = true;
  if (walk->notItself == nullptr ||
      HeldApplicationFolders.Hold(path, kHeldAccess) == Holding::kHeld) {
    return true;
  }
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
