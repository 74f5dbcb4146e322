#include "engine/install_record.h"

#include <windows.h>
#include <string.h>

#include "base/file_contents.h"
#include "base/install_record_text.h"
#include "base/line_reader.h"
#include "base/messages.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/program_arguments.h"
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

// The folder of the log that the application's Uninstall entry names, and
// that entry's digests of the log and of the record beside it: what it
// says of the install before this one.
struct EarlierEntry {
  SharedString folder;
  RegisteredEntry registered;
};

bool ReadEarlierEntry(EarlierEntry& entry) {
  if (!ReadRegisteredEntry(Settings.Header.AppName, entry.registered)) return false;
  // "<uninstaller> <folder>\Uninst.log", as setup writes it (the
  // uninstaller's path quoted for a per-user package).
  const char* command = entry.registered.uninstallString;
  const char* log = SkipBlanks(AfterProgramPath(command));
  if (log == command || *log == '\0') return false;
  entry.folder = log;
  entry.folder = entry.folder.Middle(0, LastSeparator(entry.folder));
  return true;
}

// The bytes of the file `name` in `folder` when their digest is `digest`.
bool ReadVouchedFile(const char* folder, const char* name, const SharedString& digest,
                     SharedString& contents) {
  SharedString path;
  FormatString(path, "%s\\%s", folder, name);
  return !digest.IsEmpty() && ReadFileContents(path, kMaxRecordSize, contents) == FileRead::kDone &&
         MatchesDigest(contents.Text(), contents.Length(), digest);
}

// The shared files that a log lists, each one raise: what is kept of an
// install whose record was lost.
void AddRaisesOfLog(const SharedString& log, InstallRecord& record) {
  LineReader lines(log, static_cast<size_t>(log.Length()));
  SharedString line;
  int count = 0;
  if (!lines.Next(line) || !lines.Next(line)) return;
  if (strcmp(line, uninstall::kCheckLine) == 0) lines.Next(line);  // the window class
  for (int list = 0; list < 2; ++list) {  // the shortcuts, then the shared files
    if (!lines.Next(line) || !ParseCount(line, line.Length(), count)) return;
    for (int i = 0; i < count && lines.Next(line); ++i) {
      if (list == 1) AddSharedRaises(record, line, 1);
    }
  }
}

// Adds the install before this one to `record`: merged into it when it
// lay in the same folder, else named by an "earlier" line, so that one
// uninstall removes every install. What the Uninstall entry does not vouch
// for is no word of ours; an earlier log that it vouches for without its
// record is said so, and the counts of its shared files are kept.
void AddEarlierInstall(InstallRecord& record) {
  EarlierEntry entry;
  if (!ReadEarlierEntry(entry)) return;
  SharedString text, line;
  InstallRecord earlier;
  if (ReadVouchedFile(entry.folder, uninstall::kRecordName, entry.registered.recordDigest, text) &&
      ParseInstallRecord(text.Text(), static_cast<size_t>(text.Length()), earlier) == 0 &&
      strcmp(earlier.appName, Settings.Header.AppName) == 0) {
    if (IsSamePath(entry.folder, Settings.DestinationDir)) {
      MergeInstallRecord(record, earlier);
    } else {
      FormatString(line, "%s %s", entry.registered.recordDigest.Text(), entry.folder.Text());
      AppendPath(record.earlierInstalls, line);
    }
  } else if (ReadVouchedFile(entry.folder, uninstall::kLogName, entry.registered.logDigest, text)) {
    ShowError(nullptr, Settings.SetupCaption, IDS_EARLIER_RECORD_LOST, entry.folder);
    AddRaisesOfLog(text, record);
  }
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
  AddEarlierInstall(record);
  return InstallRecordText(record);
}
