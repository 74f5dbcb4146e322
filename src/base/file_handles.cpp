#include "base/file_handles.h"

#include <string.h>

#include "base/path_rules.h"
#include "base/platform.h"

namespace {

typedef DWORD(WINAPI* GetFinalPathFunction)(HANDLE file, LPSTR path, DWORD size, DWORD flags);

GetFinalPathFunction FinalPathFunction() {
  return reinterpret_cast<GetFinalPathFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
}

enum class Final { kKnown, kTooLong, kUnknown };

// The name behind `handle`, in `buffer`; `*name` points at it without
// "\\?\" ("\\?\UNC\" for a share becomes "\\").
Final FinalName(HANDLE handle, char (&buffer)[MAX_PATH], const char** name) {
  const GetFinalPathFunction getFinalPath = FinalPathFunction();
  if (getFinalPath == nullptr) return Final::kUnknown;
  const DWORD length = getFinalPath(handle, buffer, MAX_PATH, 0);
  if (length >= MAX_PATH) return Final::kTooLong;
  if (length == 0) return Final::kUnknown;
  *name = buffer;
  if (strncmp(buffer, "\\\\?\\UNC\\", 8) == 0) {
    buffer[6] = '\\';
    *name = buffer + 6;
  } else if (strncmp(buffer, "\\\\?\\", 4) == 0) {
    *name = buffer + 4;
  }
  return Final::kKnown;
}

// FILE_ATTRIBUTE_TAG_INFORMATION, as NtQueryInformationFile gives it.
struct AttributeTag {
  ULONG attributes;
  ULONG reparseTag;
};
const int kAttributeTagInformation = 35;

// The attributes of what `handle` holds. GetFileInformationByHandle would
// also ask for the volume's serial number, which Wine gets from its mount
// manager through a device request: under the 32-bit emulation that round
// trip, made while setup's inflating thread reads the package, ended the
// process.
bool AttributesOf(HANDLE handle, ULONG& attributes) {
  typedef LONG(NTAPI * QueryFunction)(HANDLE, void*, void*, ULONG, int);
  static const QueryFunction query = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile")));
  ULONG_PTR status[2];  // IO_STATUS_BLOCK
  AttributeTag tag;
  if (query == nullptr || query(handle, status, &tag, sizeof tag, kAttributeTagInformation) != 0) {
    return false;
  }
  attributes = tag.attributes;
  return true;
}

// Whether `final`, the name behind a handle opened by `path`, is the name
// the system gives `path` in a 32-bit program on 64-bit Windows: WoW64
// redirects the system folder ("<Windows>\System32") to the 32-bit one
// ("<Windows>\SysWOW64"), and the handle names the folder it led to. (The
// few folders below it that are not redirected, such as drivers\etc, come
// back as themselves.)
bool IsRedirectedName(const char* final, const char* path) {
#ifdef _WIN64
  static_cast<void>(final);
  static_cast<void>(path);
  return false;
#else
  typedef BOOL(WINAPI * IsWow64Function)(HANDLE, BOOL*);
  typedef UINT(WINAPI * FolderFunction)(LPSTR, UINT);
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const IsWow64Function isWow64 = reinterpret_cast<IsWow64Function>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
  const FolderFunction wow64Folder = reinterpret_cast<FolderFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GetSystemWow64DirectoryA")));
  BOOL wow64 = FALSE;
  if (isWow64 == nullptr || wow64Folder == nullptr || !isWow64(GetCurrentProcess(), &wow64) ||
      !wow64) {
    return false;
  }
  char system[MAX_PATH], redirected[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  const UINT redirectedLength = wow64Folder(redirected, MAX_PATH);
  return length > 0 && length < MAX_PATH && redirectedLength > 0 && redirectedLength < MAX_PATH &&
         IsSameOrAbove(system, path) &&
         IsSamePath(final, SharedString(redirected) + (path + length));
#endif
}

}  // namespace

LONG SetFileInformation(HANDLE handle, void* information, ULONG size, int kind) {
  typedef LONG(NTAPI * SetFunction)(HANDLE, ULONG_PTR*, void*, ULONG, int);
  static const SetFunction set = reinterpret_cast<SetFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtSetInformationFile")));
  ULONG_PTR status[2];  // IO_STATUS_BLOCK
  return set == nullptr ? static_cast<LONG>(0xC0000002)
                        : set(handle, status, information, size, kind);
}

bool MarkForDeletion(HANDLE handle, bool remove) {
  BOOLEAN deleteFile = remove ? TRUE : FALSE;
  return SetFileInformation(handle, &deleteFile, sizeof deleteFile, kDispositionInformation) == 0;
}

bool DeleteItself(const char* path) {
  HANDLE item = OpenItself(path, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  if (item == INVALID_HANDLE_VALUE) return false;
  const bool deleted = HoldsItself(item, path) && MarkForDeletion(item);
  CloseHandle(item);
  return deleted;
}

HANDLE CreateOwnFile(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  file = OpenItself(path, GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ);
  BY_HANDLE_FILE_INFORMATION information;
  if (file != INVALID_HANDLE_VALUE &&
      (!HoldsItself(file, path) || !GetFileInformationByHandle(file, &information) ||
       information.nNumberOfLinks != 1 ||
       (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !SetEndOfFile(file))) {
    CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
  }
  return file;
}

bool RenameThroughHandle(HANDLE handle, const char* path) {
  // FILE_RENAME_INFORMATION with no root folder: the name is the NT form
  // of the full path, "\??\C:\...".
  struct {
    BOOLEAN replaceIfExists;
    HANDLE rootDirectory;
    ULONG nameLength;  // in bytes
    WCHAR name[MAX_PATH + 4];
  } rename = {};
  memcpy(rename.name, L"\\??\\", 8);
  const int characters = MultiByteToWideChar(CP_ACP, 0, path, -1, rename.name + 4, MAX_PATH) - 1;
  if (characters <= 0) return false;
  rename.nameLength = static_cast<ULONG>((characters + 4) * sizeof(WCHAR));
  return SetFileInformation(handle, &rename, sizeof rename, kRenameInformation) == 0;
}

HANDLE OpenItself(const char* path, DWORD access, DWORD share) {
  return CreateFileA(path, access, share, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

SharedString FinalPathOf(HANDLE handle) {
  char buffer[MAX_PATH];
  const char* name = "";
  FinalName(handle, buffer, &name);
  return SharedString(name);
}

bool HoldsItself(HANDLE handle, const char* path) {
  ULONG attributes = 0;
  if (!AttributesOf(handle, attributes) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return false;
  }
  // A name that does not fit is not the name of `path`, which does.
  char buffer[MAX_PATH];
  const char* final = "";
  switch (FinalName(handle, buffer, &final)) {
    case Final::kKnown:
      return IsSamePath(final, path) || IsRedirectedName(final, path);
    case Final::kTooLong:
      return false;
    case Final::kUnknown:
      break;
  }
  return true;
}

struct HeldFolders::Folder {
  Folder* next;
  HANDLE handle;
  char path[1];  // as long as it is
};

Holding HeldFolders::Hold(const char* path, DWORD access) {
  if (Find(path) != nullptr) return Holding::kHeld;
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  const DWORD list = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
  HANDLE handle = OpenItself(path, list | access, share);
  // Administrators may read Program Files' permissions, not change them.
  if (handle == INVALID_HANDLE_VALUE && (access & READ_CONTROL) != 0 && access != READ_CONTROL) {
    handle = OpenItself(path, list | READ_CONTROL, share);
  }
  if (handle == INVALID_HANDLE_VALUE && access != 0) handle = OpenItself(path, list, share);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Holding::kMissing
                                                                          : Holding::kNotItself;
  }
  if (!HoldsItself(handle, path)) {
    CloseHandle(handle);
    return Holding::kNotItself;
  }
  const size_t length = strlen(path);
  Folder* folder = static_cast<Folder*>(platform::Allocate(sizeof(Folder) + length));
  folder->next = first_;
  folder->handle = handle;
  memcpy(folder->path, path, length + 1);
  first_ = folder;
  return Holding::kHeld;
}

HANDLE HeldFolders::Find(const char* path) const {
  for (Folder* folder = first_; folder != nullptr; folder = folder->next) {
    if (IsSamePath(folder->path, path)) return folder->handle;
  }
  return nullptr;
}

void HeldFolders::Release(const char* path) {
  for (Folder** link = &first_; *link != nullptr; link = &(*link)->next) {
    Folder* folder = *link;
    if (IsSamePath(folder->path, path)) {
      *link = folder->next;
      CloseHandle(folder->handle);
      platform::Free(folder);
      return;
    }
  }
}

void HeldFolders::ReleaseAll() {
  while (first_ != nullptr) {
    Folder* folder = first_;
    first_ = folder->next;
    CloseHandle(folder->handle);
    platform::Free(folder);
  }
}
