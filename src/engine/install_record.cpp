#include "engine/install_record.h"

#include <windows.h>

#include "base/install_record_text.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "package/layout.h"
#include "state/install_settings.h"

namespace {

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

SharedString InstallRecordToWrite() {
  InstallRecord record = Settings.Record;
  record.appName = Settings.Header.AppName;
  SharedString path;
  for (int position = 0; NextPath(Settings.SharedDllList, position, path);) {
    AddSharedRaises(record, path, 1);
  }
  return InstallRecordText(record);
}
