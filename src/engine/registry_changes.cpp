#include "engine/registry_changes.h"

#include "base/install_journal.h"
#include "base/registry_value.h"
#include "state/install_settings.h"

namespace {

// A line of the record, noted in the journal too once the record may hold
// it (too long a path is left out of both).
void Note(const char* kind, const SharedString& text) {
  if (AddInstallRecordLine(Settings.Record, SharedString(kind) + " " + text)) {
    JournalLine(kind, text);
  }
}

}  // namespace

void NoteNewKeys(const char* rootName, HKEY root, const char* path) {
  const SharedString full(path);
  for (int end = 0; end <= full.Length(); ++end) {
    if (end < full.Length() && full.Text()[end] != '\\') continue;
    const SharedString part = full.Middle(0, end);
    HKEY key;
    if (RegOpenKeyExA(root, part, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
      continue;
    }
    SharedString name;
    FormatString(name, "%s\\%s", rootName, part.Text());
    Note("key", name);
  }
}

void NoteNewValue(HKEY key, const char* keyName, const char* name, DWORD type, const void* data,
                  DWORD size) {
  if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) != ERROR_FILE_NOT_FOUND) {
    return;
  }
  SharedString digest, text;
  RegistryValueDigest(type, data, size, digest);
  FormatString(text, "%s %s=%s", digest.Text(), keyName, name != nullptr ? name : "");
  Note("value", text);
}
