#include <windows.h>

#include "engine/created_items.h"
#include "engine/directory_path.h"
#include "engine/install_record.h"

namespace {

bool PathExists(const char* path, void*) { return FileExists(path); }

bool MakeDirectory(const char* path, void* created) {
  if (!CreateDirectoryA(path, nullptr)) return false;
  RecordCreatedFolder(path);
  if (created != nullptr) static_cast<CreatedItems*>(created)->AddFolder(path);
  return true;
}

}  // namespace

bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool CreateDirectoryPath(const char* path, CreatedItems* created) {
  const DirectoryOperations real = {PathExists, MakeDirectory, created};
  return CreateDirectoryPathWith(path, real);
}
