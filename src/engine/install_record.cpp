#include "engine/install_record.h"

#include <windows.h>

#include <string.h>

#include "base/file_contents.h"
#include "base/install_record_text.h"
#include "base/messages.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/uninstall_key.h"
#include "package/layout.h"
#include "state/install_settings.h"

namespace {

// Far more than the record of any package holds.
const unsigned kMaxRecordSize = 64 * 1024 * 1024;

// The part of `path` below the destination folder: "." for the folder
// itself; empty when it lies elsewhere.
SharedString BelowDestination(const char* path) {
  const SharedString& destination = Settings.DestinationDir;
  if (destination.IsEmpty() || !IsSameOrAbove(destination, path)) return SharedString();
  if (IsSamePath(destination, path)) return SharedString(".");
  const int length = destination.Length();
  // "C:" holds "C:\Folder": the part starts after the "\" either way.
  const int start = LastSeparator(destination) == length - 1 ? length : length + 1;
  return SharedString(path + start);
}

// The record an earlier install of this application left at `recordPath`.
bool ReadEarlierRecord(const char* recordPath, InstallRecord& earlier) {
  SharedString contents;
  if (ReadFileContents(recordPath, kMaxRecordSize, contents) != FileRead::kDone) return false;
  // The digest the application's Uninstall entry keeps of its record.
  RegisteredEntry entry;
  return ReadRegisteredEntry(Settings.Header.AppName, entry) && !entry.recordDigest.IsEmpty() &&
         MatchesDigest(contents.Text(), contents.Length(), entry.recordDigest) &&
         ParseInstallRecord(contents.Text(), static_cast<size_t>(contents.Length()), earlier) ==
             0 &&
         strcmp(earlier.appName, Settings.Header.AppName) == 0;
}

}  // namespace

void RecordInstalledFile(unsigned destinationType, const char* path, bool existed) {
  if (destinationType == layout::kDestinationApplication) {
    const SharedString below = BelowDestination(path);
    if (!below.IsEmpty()) AppendPathOnce(Settings.Record.files, below);
  } else if (!existed) {
    AppendPathOnce(Settings.Record.outsideFiles, path);
  }
}

void RecordCreatedFolder(const char* path) {
  const SharedString below = BelowDestination(path);
  if (!below.IsEmpty()) AppendPathOnce(Settings.Record.folders, below);
}

SharedString InstallRecordToWrite(const char* recordPath) {
  InstallRecord record = Settings.Record;
  record.appName = Settings.Header.AppName;
  SharedString path;
  for (int position = 0; NextPath(Settings.SharedDllList, position, path);) {
    AddSharedRaises(record, path, 1);
  }
  InstallRecord earlier;
  if (!ReadEarlierRecord(recordPath, earlier)) return InstallRecordText(record);
  MergeInstallRecord(earlier, record);
  return InstallRecordText(earlier);
}
