#include <windows.h>

#include "engine/created_items.h"
#include "engine/directory_path.h"
#include "engine/install_record.h"

namespace {

struct Walk {
  CreatedItems* created;
  bool made;
};

bool PathExists(const char* path, void*) { return FileExists(path); }

bool MakeDirectory(const char* path, void* context) {
  if (!CreateDirectoryA(path, nullptr)) return false;
  RecordCreatedFolder(path);
  Walk* walk = static_cast<Walk*>(context);
  if (walk->created != nullptr) walk->created->AddFolder(path);
  walk->made = true;
  return true;
}

}  // namespace

bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool CreateDirectoryPath(const char* path, CreatedItems* created, bool* made) {
  Walk walk = {created, false};
  const DirectoryOperations real = {PathExists, MakeDirectory, &walk};
  bool done = CreateDirectoryPathWith(path, real);
  if (made != nullptr) *made = walk.made;
  return done;
}
