#include "engine/associations.h"

#include <windows.h>
#include <shlobj.h>

#include "base/install_scope.h"
#include "engine/registry_changes.h"
#include "engine/registry_text.h"

namespace {

// The existing values are read into a buffer of this size; one that does
// not fit counts as different.
const DWORD kCompareBufferSize = 255;

const REGSAM kReadWrite = KEY_READ | KEY_WRITE;
const char kUserClassesName[] = "HKCU\\Software\\Classes";

bool CreateKey(HKEY parent, const char* name, REGSAM access, HKEY* key) {
  return RegCreateKeyExA(parent, name, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE, access,
                         nullptr, key, nullptr) == ERROR_SUCCESS;
}

// Where the association's keys go: the classes key and its name for the
// install record ("HKCR", or "HKCU\Software\Classes" for a per-user one).
struct Classes {
  HKEY key;
  const char* name;
};

// The key `path` below the classes key, opened for reading and writing,
// what it makes noted first; `keyName` is its name for the record.
bool CreateClassKey(const Classes& classes, const char* path, HKEY* key, SharedString& keyName) {
  NoteNewKeys(classes.name, classes.key, path);
  FormatString(keyName, "%s\\%s", classes.name, path);
  return CreateKey(classes.key, path, kReadWrite, key);
}

bool StoreDefaultText(HKEY key, const char* keyName, const char* text) {
  const DWORD size = static_cast<DWORD>(lstrlenA(text)) + 1;
  NoteNewValue(key, keyName, nullptr, REG_SZ, text, size);
  return RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) ==
         ERROR_SUCCESS;
}

// Whether the key's default value already holds `text`. A value that does
// not fit the buffer with its terminator, or has none, is different:
// nothing is compared beyond what was read.
bool HoldsDefaultText(HKEY key, const char* text) {
  char existing[kCompareBufferSize];
  DWORD size = sizeof existing;
  if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(existing), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  if (size == 0 || size > sizeof existing || existing[size - 1] != '\0') return false;
  return lstrcmpA(existing, text) == 0;
}

// Stores `text` as the default value of the key `path` below the classes
// unless it is there already; true when it was stored.
bool UpdateDefaultText(const Classes& classes, const char* path, const char* text) {
  HKEY key;
  SharedString keyName;
  if (!CreateClassKey(classes, path, &key, keyName)) return false;
  const bool changed = !HoldsDefaultText(key, text) && StoreDefaultText(key, keyName, text);
  RegCloseKey(key);
  return changed;
}

// A path in double quotes, unless it has them already at either end.
SharedString Quoted(const SharedString& path) {
  SharedString quoted = path;
  if (quoted.Text()[0] != '"') quoted = '"' + quoted;
  if (quoted.Text()[quoted.Length() - 1] != '"') quoted += '"';
  return quoted;
}

// True when the description, the class's shell\open\command (the program
// and the document, both quoted) or its icon was stored. The extension's
// own value is written every time and is no change.
bool WriteAssociation(const Classes& classes, const char* extension, const char* className,
                      const char* description, const char* programPath, const char* iconPath,
                      int iconIndex) {
  if (classes.key == nullptr || extension[0] != '.') return false;
  HKEY extensionKey;
  SharedString keyName;
  if (!CreateClassKey(classes, extension, &extensionKey, keyName)) return false;
  const bool stored = StoreDefaultText(extensionKey, keyName, className);
  RegCloseKey(extensionKey);
  if (!stored) return false;
  SharedString path, text;
  bool changed = UpdateDefaultText(classes, className, description);
  FormatString(path, "%s\\shell\\open\\command", className);
  FormatString(text, "%s \"%%1\"", programPath);
  if (UpdateDefaultText(classes, path, text)) changed = true;
  FormatString(path, "%s\\DefaultIcon", className);
  FormatString(text, "%s,%d", iconPath, iconIndex);
  if (UpdateDefaultText(classes, path, text)) changed = true;
  return changed;
}

}  // namespace

AssociationWriter::AssociationWriter(const char* destination)
    : destination_(destination), classes_(HKEY_CLASSES_ROOT) {
  if (IsPerUserScope() &&
      !CreateKey(HKEY_CURRENT_USER, "Software\\Classes", kReadWrite, &classes_)) {
    classes_ = nullptr;
  }
}

AssociationWriter::~AssociationWriter() {
  if (classes_ != nullptr && classes_ != HKEY_CLASSES_ROOT) RegCloseKey(classes_);
}

void AssociationWriter::Association(const AssociationRecord& record) {
  SharedString programPath = record.ProgramPath;
  SharedString iconPath = record.IconPath;
  FillDestination(programPath, destination_);
  FillDestination(iconPath, destination_);
  const Classes classes = {classes_, classes_ == HKEY_CLASSES_ROOT ? "HKCR" : kUserClassesName};
  if (WriteAssociation(classes, '.' + record.Extension, record.ClassName, record.Description,
                       Quoted(programPath), Quoted(iconPath), record.IconIndex)) {
    changed_ = true;
  }
}

void AssociationWriter::Finish() {
  if (changed_) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
