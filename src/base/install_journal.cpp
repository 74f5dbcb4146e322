#include "base/install_journal.h"

#include <string.h>

#include "base/install_scope.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/registry_value.h"
#include "base/sha256_digest.h"
#include "base/uninstall_key.h"

namespace {

// Setup's open key and the number of its next line.
HKEY journalKey = nullptr;
DWORD nextLine = 0;
SharedString journalApp;
// "value <digest> <key>=<name>": the longest line.
const int kMaxLineLength = 8 + kDigestLength + 2 * MAX_PATH;

DWORD ValueCount(HKEY key) {
  DWORD count = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                   nullptr, nullptr, nullptr);
  return count;
}

// One line of the journal in the record's form: its full paths below
// `folder` made relative, files elsewhere "outside".
SharedString RecordLine(const SharedString& line, const char* folder) {
  const bool isFolder = strncmp(line, "folder ", 7) == 0;
  if (!isFolder && strncmp(line, "file ", 5) != 0) return line;
  const int start = isFolder ? 7 : 5;
  const SharedString path = line.Middle(start, line.Length() - start);
  const SharedString below = PathBelow(folder, path);
  if (!below.IsEmpty()) return line.Middle(0, start) + below;
  return isFolder ? SharedString() : SharedString("outside ") + path;
}

}  // namespace

SharedString InstallJournalKeyName(const char* appName) {
  return UninstallKeyName(appName) + "\\InstallInProgress";
}

bool ReadInstallJournal(const char* appName, InstallJournal& journal) {
  HKEY key;
  if (RegOpenKeyExA(ScopeRoot(), InstallJournalKeyName(appName), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  const DWORD count = ValueCount(key);
  ReadRegistryText(key, kJournalFolderValue, journal.folder, MAX_PATH);
  ReadRegistryText(key, kLogDigestValue, journal.logDigest, kDigestLength);
  ReadRegistryText(key, kRecordDigestValue, journal.recordDigest, kDigestLength);
  SharedString name, line;
  for (DWORD number = 1; number <= count; ++number) {
    FormatString(name, "%lu", static_cast<unsigned long>(number));
    if (ReadRegistryText(key, name, line, kMaxLineLength)) AppendPath(journal.lines, line);
  }
  RegCloseKey(key);
  return true;
}

void AddJournalToRecord(const InstallJournal& journal, const char* folder, InstallRecord& record) {
  SharedString line;
  for (int position = 0; NextPath(journal.lines, position, line);) {
    // A file noted and not there (a staging file put in place or deleted,
    // one not made yet) is nothing to remove.
    if (strncmp(line, "file ", 5) == 0 &&
        GetFileAttributesA(line.Text() + 5) == INVALID_FILE_ATTRIBUTES) {
      continue;
    }
    const SharedString recordLine = RecordLine(line, folder);
    if (!recordLine.IsEmpty()) AddInstallRecordLine(record, recordLine);
  }
}

SharedString PathBelow(const char* folder, const char* path) {
  if (folder[0] == '\0' || !IsSameOrAbove(folder, path)) return SharedString();
  if (IsSamePath(folder, path)) return SharedString(".");
  const int length = static_cast<int>(strlen(folder));
  // "C:" holds "C:\Folder": the part starts after the "\" either way.
  const int start = LastSeparator(folder) == length - 1 ? length : length + 1;
  return SharedString(path + start);
}

void DeleteInstallJournal(const char* appName) {
  RegDeleteKeyA(ScopeRoot(), InstallJournalKeyName(appName));
}

bool OpenInstallJournal(const char* appName, const char* folder) {
  HKEY key;
  if (RegCreateKeyA(ScopeRoot(), InstallJournalKeyName(appName), &key) != ERROR_SUCCESS) {
    return false;
  }
  if (RegSetValueExA(key, kJournalFolderValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder),
                     static_cast<DWORD>(strlen(folder)) + 1) != ERROR_SUCCESS) {
    RegCloseKey(key);
    return false;
  }
  // Each line's number is the count of values with it: no number is
  // higher than the count, and the next run's follow on.
  nextLine = ValueCount(key) + 1;
  journalKey = key;
  journalApp = appName;
  return true;
}

bool JournalLine(const char* kind, const char* text) {
  if (journalKey == nullptr) return true;
  SharedString name, line;
  FormatString(name, "%lu", static_cast<unsigned long>(nextLine++));
  FormatString(line, "%s %s", kind, text);
  return RegSetValueExA(journalKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(line.Text()),
                        static_cast<DWORD>(line.Length()) + 1) == ERROR_SUCCESS;
}

bool CloseInstallJournal(bool complete) {
  if (journalKey == nullptr) return false;
  RegCloseKey(journalKey);
  journalKey = nullptr;
  InstallJournal journal;
  bool empty = complete || ReadInstallJournal(journalApp, journal);
  SharedString line;
  for (int position = 0; !complete && empty && NextPath(journal.lines, position, line);) {
    const int blank = static_cast<int>(strchr(line, ' ') - line.Text());
    const bool item = strncmp(line, "file ", 5) == 0 || strncmp(line, "folder ", 7) == 0;
    empty = item && GetFileAttributesA(line.Text() + blank + 1) == INVALID_FILE_ATTRIBUTES;
  }
  if (empty) DeleteInstallJournal(journalApp);
  return empty;
}
