// Creating every missing directory along a path, the way the file loop and
// the uninstall log need it.
#ifndef VANTOREL_ENGINE_DIRECTORY_PATH_H
#define VANTOREL_ENGINE_DIRECTORY_PATH_H

// The two file-system questions the walk asks; the real ones call Windows,
// tests record the walk.
struct DirectoryOperations {
  bool (*exists)(const char* path, void* context);
  bool (*create)(const char* path, void* context);
  void* context;
};

// Walks `path` ("\"-separated) from its first level to its end and makes
// each level exist. A network path ("\\server\share\...") takes the share
// itself as existing. The whole path, a trailing separator included, is
// checked last. False as soon as a level is missing and cannot be created.
bool CreateDirectoryPathWith(const char* path, const DirectoryOperations& operations);

// The path's last character is a "\" (not the trail byte of a double-byte
// character): names appended to it lie in the folder it names.
bool EndsWithSeparator(const char* path);

#ifdef _WIN32
class CreatedItems;
class SharedString;
// The same walk on the real file system; a file in place of a directory
// counts as existing. Each directory made is listed in `created` when one
// is given; `*made` tells whether any was made, and so whether the last
// level is new (it then holds nothing).
//
// With `notItself` (the way to the application's own files), every level
// below the drive or share that exists or is made is opened as itself and
// held until the program ends or ReleaseHeldFolders (engine/held_folders.h):
// setup never writes through a link, and no level can be replaced by one
// while it works. A level that is a link or leads elsewhere stops the walk,
// and `*notItself` names it (empty otherwise).
bool CreateDirectoryPath(const char* path, CreatedItems* created = nullptr, bool* made = nullptr,
                         SharedString* notItself = nullptr);
// The path's attributes can be read.
bool FileExists(const char* path);
#endif

#endif
