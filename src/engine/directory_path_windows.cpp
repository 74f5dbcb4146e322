#include <windows.h>

#include "engine/directory_path.h"

namespace {

bool PathExists(const char* path, void*) { return FileExists(path); }

bool MakeDirectory(const char* path, void*) { return CreateDirectoryA(path, nullptr) != FALSE; }

}  // namespace

bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool CreateDirectoryPath(const char* path) {
  const DirectoryOperations real = {PathExists, MakeDirectory, nullptr};
  return CreateDirectoryPathWith(path, real);
}
