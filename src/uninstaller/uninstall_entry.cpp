#include "uninstaller/uninstall_entry.h"

#include <windows.h>

#include <string.h>

#include "base/messages.h"
#include "base/path_rules.h"
#include "base/registry_value.h"
#include "base/sha256_digest.h"
#include "base/uninstall_names.h"
#include "uninstaller/command_line.h"
#include "uninstaller/left_items.h"
#include "uninstaller/uninstaller_text_ids.h"

namespace {

// The uninstaller's path, a blank and the log's path, each below MAX_PATH.
const int kMaxCommandLength = 2 * MAX_PATH;
const int kDigestLength = 64;

SharedString KeyName(const char* appName) {
  SharedString name;
  FormatString(name, uninstall::kUninstallKeyFormat, appName);
  return name;
}

}  // namespace

bool ReadUninstallEntry(const char* appName, const char* logPath, UninstallEntry& entry) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyName(appName), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  SharedString command, registeredLog;
  const bool names = ReadRegistryText(key, "UninstallString", command, kMaxCommandLength) &&
                     LogPathFromCommandLine(command, registeredLog) &&
                     IsSamePath(registeredLog, logPath);
  ReadRegistryText(key, uninstall::kLogDigestValue, entry.logDigest, kDigestLength);
  ReadRegistryText(key, uninstall::kRecordDigestValue, entry.recordDigest, kDigestLength);
  RegCloseKey(key);
  return names;
}

bool MatchesDigest(const char* data, int size, const SharedString& digest) {
  SharedString actual;
  Sha256Digest(data, static_cast<size_t>(size), actual);
  return strcmp(actual, digest) == 0;
}

void RemoveUninstallEntry(const char* appName, LeftItems& left) {
  const LONG result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, KeyName(appName));
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
    left.Add(IDS_UN_LEFT_ENTRY, appName);
  }
}
