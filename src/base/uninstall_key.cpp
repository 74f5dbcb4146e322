#include "base/uninstall_key.h"

#include <windows.h>
#include <string.h>

#include "base/install_scope.h"
#include "base/registry_value.h"
#include "base/sha256_digest.h"

namespace {

const char kUninstallStringValue[] = "UninstallString";
// The uninstaller's path, a blank and the log's path, each below MAX_PATH.
const int kMaxCommandLength = 2 * MAX_PATH;

// Not inlined: the entry calls it a dozen times.
__attribute__((noinline)) bool SetValue(HKEY key, const char* name, DWORD type, const void* data,
                                        DWORD size) {
  return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

// Stored with its NUL, as Windows expects of REG_SZ data.
bool SetText(HKEY key, const char* name, const char* text) {
  return SetValue(key, name, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1));
}

bool SetNumber(HKEY key, const char* name, DWORD number) {
  return SetValue(key, name, REG_DWORD, &number, sizeof number);
}

bool StoreDigests(HKEY key, const SharedString& logText, const SharedString& recordText) {
  SharedString digest;
  Sha256Digest(logText.Text(), static_cast<size_t>(logText.Length()), digest);
  bool saved = SetText(key, kLogDigestValue, digest);
  Sha256Digest(recordText.Text(), static_cast<size_t>(recordText.Length()), digest);
  return SetText(key, kRecordDigestValue, digest) && saved;
}

}  // namespace

SharedString UninstallKeyName(const char* appName) {
  SharedString name;
  FormatString(name, "%s\\%s", kUninstallKeyParent, appName);
  return name;
}

unsigned WriteUninstallEntry(const UninstallEntryValues& values) {
  HKEY key;
  const bool perUser = IsPerUserScope();
  if (RegCreateKeyA(ScopeRoot(), UninstallKeyName(values.appName), &key) != ERROR_SUCCESS) {
    return kEntryKeyNotCreated;
  }
  // A per-user uninstaller lies in the user's profile, whose path often
  // has blanks: quoted, no shorter path is ever taken for it.
  SharedString command, digest;
  FormatString(command, perUser ? "\"%s\" %s" : "%s %s", values.uninstaller, values.logPath);
  unsigned failed = SetText(key, "DisplayName", values.appName) ? 0u : kDisplayNameNotSaved;
  if (!SetText(key, kUninstallStringValue, command)) failed |= kUninstallStringNotSaved;
  // Every other value is tried, whichever failed before it.
  FormatString(command, "\"%s\" /S \"%s\"", values.uninstaller, values.logPath);
  bool saved = SetText(key, "QuietUninstallString", command);
  if (values.logText == nullptr) {
    RegCloseKey(key);
    return saved ? failed : failed | kOtherValueNotSaved;
  }
  saved &= SetText(key, "DisplayVersion", values.version);
  saved &= SetText(key, "InstallLocation", values.folder);
  saved &= SetNumber(key, "EstimatedSize", values.sizeKiB);
  saved &= SetNumber(key, "NoModify", 1);
  saved &= SetNumber(key, "NoRepair", 1);
  saved &= StoreDigests(key, *values.logText, *values.recordText);
  if (values.program[0] == '\0') {
    RegDeleteValueA(key, "DisplayIcon");
  } else {
    saved &= SetText(key, "DisplayIcon", values.program);
  }
  if (!saved) failed |= kOtherValueNotSaved;
  RegCloseKey(key);
  return failed;
}

bool ReadRegisteredEntry(const char* appName, RegisteredEntry& entry) {
  HKEY key;
  if (RegOpenKeyExA(ScopeRoot(), UninstallKeyName(appName), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  ReadRegistryText(key, kUninstallStringValue, entry.uninstallString, kMaxCommandLength);
  ReadRegistryText(key, kLogDigestValue, entry.logDigest, kDigestLength);
  ReadRegistryText(key, kRecordDigestValue, entry.recordDigest, kDigestLength);
  RegCloseKey(key);
  return true;
}

bool WriteEntryDigests(const char* appName, const SharedString& logText,
                       const SharedString& recordText) {
  return WriteDigestsAt(UninstallKeyName(appName), logText, recordText);
}

bool WriteDigestsAt(const char* keyName, const SharedString& logText,
                    const SharedString& recordText) {
  HKEY key;
  if (RegOpenKeyExA(ScopeRoot(), keyName, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
  const bool saved = StoreDigests(key, logText, recordText);
  RegCloseKey(key);
  return saved;
}

bool MatchesDigest(const char* data, int size, const SharedString& digest) {
  SharedString actual;
  Sha256Digest(data, static_cast<size_t>(size), actual);
  return strcmp(actual, digest) == 0;
}
