#include "uninstaller/folder_listing.h"

#include <string.h>
#include <winternl.h>

namespace {

// FILE_DIRECTORY_INFORMATION, as NtQueryDirectoryFile gives it.
struct DirectoryEntry {
  ULONG nextOffset;  // 0: the last of the query
  ULONG fileIndex;
  LARGE_INTEGER times[4];
  LARGE_INTEGER endOfFile;
  LARGE_INTEGER allocationSize;
  ULONG attributes;
  ULONG nameLength;  // in bytes
  WCHAR name[1];
};

const int kDirectoryInformation = 1;  // FileDirectoryInformation

typedef LONG(NTAPI* QueryDirectoryFunction)(HANDLE, HANDLE, void*, void*, IO_STATUS_BLOCK*, void*,
                                            ULONG, int, BOOLEAN, UNICODE_STRING*, BOOLEAN);

}  // namespace

bool FolderListing::Next(SharedString& name) {
  static const QueryDirectoryFunction query =
      reinterpret_cast<QueryDirectoryFunction>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryDirectoryFile")));
  for (;;) {
    if (!pending_) {
      IO_STATUS_BLOCK status;
      if (query == nullptr ||
          query(folder_, nullptr, nullptr, nullptr, &status, entries_, sizeof entries_,
                kDirectoryInformation, FALSE, nullptr, !started_) != 0) {
        return false;
      }
      started_ = true;
      pending_ = true;
      next_ = 0;
    }
    const DirectoryEntry* entry = reinterpret_cast<const DirectoryEntry*>(entries_ + next_);
    if (entry->nextOffset == 0) {
      pending_ = false;
    } else {
      next_ += entry->nextOffset;
    }
    const int characters = static_cast<int>(entry->nameLength / sizeof(WCHAR));
    char narrow[MAX_PATH];
    const int length = WideCharToMultiByte(CP_ACP, 0, entry->name, characters, narrow, MAX_PATH - 1,
                                           nullptr, nullptr);
    narrow[length] = '\0';
    if (length == 0 || strcmp(narrow, ".") == 0 || strcmp(narrow, "..") == 0) continue;
    name = narrow;
    return true;
  }
}
