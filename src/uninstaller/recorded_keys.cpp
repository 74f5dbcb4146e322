#include "uninstaller/recorded_keys.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include "base/compare_no_case.h"
#include "base/path_list.h"
#include "base/registry_value.h"
#include "base/sha256_digest.h"

namespace {

// The root of a recorded key's name, and where the path below it starts.
HKEY RootOf(const char* keyName, const char** path) {
  static const struct {
    const char* name;
    HKEY root;
  } kRoots[] = {{"HKCR\\", HKEY_CLASSES_ROOT},
                {"HKCU\\", HKEY_CURRENT_USER},
                {"HKLM\\", HKEY_LOCAL_MACHINE},
                {"HKU\\", HKEY_USERS}};
  for (const auto& root : kRoots) {
    const size_t length = strlen(root.name);
    if (strncmp(keyName, root.name, length) == 0) {
      *path = keyName + length;
      return root.root;
    }
  }
  return nullptr;  // the record allows no other
}

// The classes root, or HKEY_CURRENT_USER's or HKEY_LOCAL_MACHINE's part of
// it.
bool IsFileType(const char* keyName) {
  return strncmp(keyName, "HKCR\\", 5) == 0 ||
         StartsWithNoCase(keyName, "HKCU\\Software\\Classes\\") ||
         StartsWithNoCase(keyName, "HKLM\\Software\\Classes\\");
}

// Whether the value `name` of the open `key` holds data of `digest`.
bool HoldsWritten(HKEY key, const char* name, const char* digest) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  void* data = malloc(size > 0 ? size : 1);
  if (data == nullptr) return false;
  SharedString actual;
  const bool read =
      RegQueryValueExA(key, name, nullptr, &type, static_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
  if (read) RegistryValueDigest(type, data, size, actual);
  free(data);
  return read && strncmp(actual, digest, kDigestLength) == 0;
}

// "<digest> <key>=<name>": removed while it holds what setup wrote.
bool RemoveValue(const SharedString& entry) {
  const SharedString key = entry.Middle(kDigestLength + 1, entry.Length() - kDigestLength - 1);
  const int equals = static_cast<int>(strrchr(key, '=') - key.Text());
  const SharedString keyName = key.Middle(0, equals);
  const SharedString name = key.Middle(equals + 1, key.Length() - equals - 1);
  const char* path = nullptr;
  HKEY root = RootOf(keyName, &path);
  HKEY opened;
  if (root == nullptr ||
      RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &opened) != ERROR_SUCCESS) {
    return false;
  }
  const bool removed =
      HoldsWritten(opened, name, entry) && RegDeleteValueA(opened, name) == ERROR_SUCCESS;
  RegCloseKey(opened);
  return removed;
}

// A key setup created, removed when it holds no value and no key.
bool RemoveKey(const SharedString& keyName) {
  const char* path = nullptr;
  HKEY root = RootOf(keyName, &path);
  HKEY opened;
  if (root == nullptr || RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
    return false;
  }
  DWORD keys = 1, values = 1;
  const bool empty =
      RegQueryInfoKeyA(opened, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
      keys == 0 && values == 0;
  RegCloseKey(opened);
  return empty && RegDeleteKeyA(root, path) == ERROR_SUCCESS;
}

int Depth(const char* keyName) {
  int depth = 0;
  for (const char* c = keyName; *c != '\0'; ++c) depth += *c == '\\';
  return depth;
}

}  // namespace

bool RemoveRecordedKeys(const InstallRecord& record) {
  bool fileType = false;
  SharedString line;
  for (int position = 0; NextPath(record.values, position, line);) {
    if (RemoveValue(line) && IsFileType(line.Text() + kDigestLength + 1)) fileType = true;
  }
  int deepest = 0;
  for (int position = 0; NextPath(record.keys, position, line);) {
    if (Depth(line) > deepest) deepest = Depth(line);
  }
  for (int depth = deepest; depth > 0; --depth) {
    for (int position = 0; NextPath(record.keys, position, line);) {
      if (Depth(line) == depth && RemoveKey(line) && IsFileType(line)) fileType = true;
    }
  }
  return fileType;
}
