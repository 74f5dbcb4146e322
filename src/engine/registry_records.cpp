#include "engine/registry_records.h"

#include "base/run_log.h"
#include "engine/registry_changes.h"
#include "engine/registry_text.h"

namespace {

HKEY RootKey(layout::RegistryRoot root) {
  switch (root) {
    case layout::kRootClasses:
      return HKEY_CLASSES_ROOT;
    case layout::kRootCurrentUser:
      return HKEY_CURRENT_USER;
    case layout::kRootLocalMachine:
      return HKEY_LOCAL_MACHINE;
    default:
      return HKEY_USERS;
  }
}

}  // namespace

void RegistryWriter::BeginKey(layout::RegistryRoot root, const SharedString& keyPath) {
  EndKey();
  LogLine("Registry key: %s\\%s", layout::kRegistryRootShortNames[root], keyPath.Text());
  NoteNewKeys(layout::kRegistryRootShortNames[root], RootKey(root), keyPath);
  // Opens the key, creating it and any missing parents.
  HKEY key = nullptr;
  if (RegCreateKeyA(RootKey(root), keyPath, &key) == ERROR_SUCCESS) key_ = key;
  FormatString(keyName_, "%s\\%s", layout::kRegistryRootShortNames[root], keyPath.Text());
}

void RegistryWriter::Store(const char* name, DWORD type, const void* data, DWORD size) {
  NoteNewValue(key_, keyName_, name, type, data, size);
  RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size);
}

void RegistryWriter::Value(uint32_t type, const SharedString& text) {
  SharedString name;
  SharedString data;
  if (key_ == nullptr || !SplitValueText(text, name, data)) return;
  FillDestination(data, destination_);
  if (type == REG_SZ) {
    Store(name, REG_SZ, data.Text(), static_cast<DWORD>(data.Length()) + 1);
  } else {
    // Every other type is stored as a 32-bit number under its own type code.
    DWORD number = ParseRegistryNumber(data);
    Store(name, type, &number, sizeof number);
  }
}

void RegistryWriter::EndKey() {
  if (key_ != nullptr) RegCloseKey(key_);
  key_ = nullptr;
}
