#include "engine/associations.h"

#include <windows.h>
#include <shlobj.h>

#include "base/install_scope.h"
#include "engine/registry_text.h"

namespace {

// The existing values are read into a buffer of this size; one that does
// not fit counts as different.
const DWORD kCompareBufferSize = 255;

const REGSAM kReadWrite = KEY_READ | KEY_WRITE;

bool CreateKey(HKEY parent, const char* name, REGSAM access, HKEY* key) {
  return RegCreateKeyExA(parent, name, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE, access,
                         nullptr, key, nullptr) == ERROR_SUCCESS;
}

bool StoreDefaultText(HKEY key, const char* text) {
  return RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(lstrlenA(text)) + 1) == ERROR_SUCCESS;
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

// Stores `text` as the default value unless it is there already; true when
// it was stored.
bool UpdateDefaultText(HKEY key, const char* text) {
  return !HoldsDefaultText(key, text) && StoreDefaultText(key, text);
}

// A path in double quotes, unless it has them already at either end.
SharedString Quoted(const SharedString& path) {
  SharedString quoted = path;
  if (quoted.Text()[0] != '"') quoted = '"' + quoted;
  if (quoted.Text()[quoted.Length() - 1] != '"') quoted += '"';
  return quoted;
}

// shell\open\command of the class: the program and the document, both
// quoted.
bool WriteOpenCommand(HKEY classKey, const char* programPath) {
  HKEY shell, open, command;
  if (!CreateKey(classKey, "shell", KEY_WRITE, &shell)) return false;
  if (!CreateKey(shell, "open", KEY_WRITE, &open)) {
    RegCloseKey(shell);
    return false;
  }
  if (!CreateKey(open, "command", kReadWrite, &command)) {
    RegCloseKey(open);
    RegCloseKey(shell);
    return false;
  }
  SharedString text;
  FormatString(text, "%s \"%%1\"", programPath);
  bool changed = UpdateDefaultText(command, text);
  RegCloseKey(command);
  RegCloseKey(open);
  RegCloseKey(shell);
  return changed;
}

bool WriteDefaultIcon(HKEY classKey, const char* iconPath, int iconIndex) {
  HKEY icon;
  if (!CreateKey(classKey, "DefaultIcon", kReadWrite, &icon)) return false;
  SharedString text;
  FormatString(text, "%s,%d", iconPath, iconIndex);
  bool changed = UpdateDefaultText(icon, text);
  RegCloseKey(icon);
  return changed;
}

// True when the description, the command or the icon was stored. The
// extension's own value is written every time and is no change.
bool WriteAssociation(HKEY classes, const char* extension, const char* className,
                      const char* description, const char* programPath, const char* iconPath,
                      int iconIndex) {
  if (classes == nullptr || extension[0] != '.') return false;
  HKEY extensionKey, classKey;
  if (!CreateKey(classes, extension, KEY_WRITE, &extensionKey)) return false;
  if (!StoreDefaultText(extensionKey, className) ||
      !CreateKey(classes, className, kReadWrite, &classKey)) {
    RegCloseKey(extensionKey);
    return false;
  }
  bool changed = UpdateDefaultText(classKey, description);
  if (WriteOpenCommand(classKey, programPath)) changed = true;
  if (WriteDefaultIcon(classKey, iconPath, iconIndex)) changed = true;
  RegCloseKey(classKey);
  RegCloseKey(extensionKey);
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
  if (WriteAssociation(classes_, '.' + record.Extension, record.ClassName, record.Description,
                       Quoted(programPath), Quoted(iconPath), record.IconIndex)) {
    changed_ = true;
  }
}

void AssociationWriter::Finish() {
  if (changed_) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
