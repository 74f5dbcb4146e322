#include "engine/uninstall_log.h"

#include <windows.h>

#include "base/file_handles.h"
#include "base/install_scope.h"
#include "base/messages.h"
#include "base/run_log.h"
#include "base/uninstall_key.h"
#include "base/uninstall_names.h"
#include "engine/directory_path.h"
#include "engine/install_record.h"
#include "engine/install_target.h"
#include "engine/output_file.h"
#include "engine/system_folders.h"
#include "package/layout.h"
#include "state/install_settings.h"

namespace {

void AppendCount(SharedString& text, int count) {
  SharedString line;
  FormatString(line, "%d\n", count);
  text += line;
}

SharedString LogText() {
  const PackageHeader& header = Settings.Header;
  const bool check = header.CheckProgramNotRunning != 0;
  SharedString text;
  // Room for everything but the two short fixed lines and the counts.
  text.Reserve(static_cast<int>(sizeof header.AppName + sizeof header.ProgramWindowClass) +
               Settings.ShortcutList.Length() + Settings.SharedDllList.Length() + 64);
  text += header.AppName;
  text += '\n';
  text += check ? uninstall::kCheckLine : uninstall::kNoCheckLine;
  text += '\n';
  if (check) {
    text += header.ProgramWindowClass;
    text += '\n';
  }
  AppendCount(text, Settings.ShortcutCount);
  text += Settings.ShortcutList;
  AppendCount(text, Settings.SharedDllCount);
  text += Settings.SharedDllList;
  return text;
}

// The entry's size: the package's files in KiB, rounded up.
unsigned InstalledKiB() {
  const uint64_t kib = (Settings.FileBytes + 1023) / 1024;
  return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<unsigned>(kib);
}

// The Uninstall entry (base/uninstall_key.h), which keeps the digests of the
// log and the record beside it: the uninstaller then tells that neither was
// changed. False when the entry would not lead the uninstaller to the log
// (no key, or no UninstallString); the values deployment tools read are
// reported when they fail, and the run goes on.
bool RegisterUninstaller(const char* logPath, const SharedString& logText,
                         const SharedString& recordText) {
  const PackageHeader& header = Settings.Header;
  SharedString program;
  if (header.ProgramFileName[0] != '\0') {
    FormatString(program, "%s\\%s", Settings.DestinationDir.Text(), header.ProgramFileName);
  }
  const SharedString uninstaller = UninstallerPath();
  const UninstallEntryValues values = {
      header.AppName, header.AppVersion, uninstaller, logPath,    Settings.DestinationDir,
      program,        InstalledKiB(),    &logText,    &recordText};
  const unsigned failed = WriteUninstallEntry(values);
  if (failed & kEntryKeyNotCreated) {
    ShowError(nullptr, Settings.SetupCaption, IDS_CREATE_REGISTRY_KEY);
    return false;
  }
  const unsigned kValues[] = {kDisplayNameNotSaved, kUninstallStringNotSaved, kOtherValueNotSaved};
  for (unsigned value : kValues) {
    if (failed & value) ShowError(nullptr, Settings.SetupCaption, IDS_SAVE_REGISTRY_KEY);
  }
  LogLine("Uninstall entry: %s\\%s",
          layout::kRegistryRootShortNames[IsPerUserScope() ? layout::kRootCurrentUser
                                                           : layout::kRootLocalMachine],
          UninstallKeyName(header.AppName).Text());
  return (failed & kUninstallStringNotSaved) == 0;
}

// A file of the uninstall in the held `folder`, written whole as a new
// file beside it and put in its place through its handle, so that a hard
// link at its name keeps the bytes of its other file; the file it replaces
// waits aside (`placement`) until the install is sure. IDS_OPEN_FILE or
// IDS_WRITE_FILE naming it otherwise.
bool PlaceWholeFile(const SharedString& folder, const char* path, const SharedString& text,
                    Placement& placement) {
  const SharedString directory = folder + "\\";
  HANDLE file = CreateStagingFile(directory);
  if (file == INVALID_HANDLE_VALUE) {
    ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, path);
    return false;
  }
  DWORD written = 0;
  const DWORD size = static_cast<DWORD>(text.Length());
  unsigned failure = 0;
  if (!WriteFile(file, text.Text(), size, &written, nullptr) || written != size) {
    failure = IDS_WRITE_FILE;
  } else if (!PutInPlace(file, directory, path, placement)) {
    failure = IDS_OPEN_FILE;
  }
  if (failure == 0) return true;
  MarkForDeletion(file);
  CloseHandle(file);
  ShowError(nullptr, Settings.SetupCaption, failure, path);
  return false;
}

}  // namespace

bool WriteUninstallLog() {
  const SharedString& destination = Settings.DestinationDir;
  SharedString logPath, recordPath;
  FormatString(logPath, "%s\\%s", destination.Text(), uninstall::kLogName);
  FormatString(recordPath, "%s\\%s", destination.Text(), uninstall::kRecordName);
  SharedString notItself;
  if (!CreateDirectoryPath(destination, nullptr, nullptr, &notItself)) {
    ShowError(nullptr, Settings.SetupCaption, IDS_CREATE_DIRECTORY,
              notItself.IsEmpty() ? destination : notItself);
    return false;
  }
  const SharedString recordText = InstallRecordToWrite();
  const SharedString logText = LogText();
  Placement logPlacement, recordPlacement;
  if (!PlaceWholeFile(destination, logPath, logText, logPlacement)) return false;
  const bool record = PlaceWholeFile(destination, recordPath, recordText, recordPlacement);
  if (record && RegisterUninstaller(logPath, logText, recordText)) {
    DropMovedAside(logPlacement);
    DropMovedAside(recordPlacement);
    return true;
  }
  // The earlier log and record come back: they match the entry as it was.
  if (record) TakeBack(recordPath, recordPlacement);
  TakeBack(logPath, logPlacement);
  return false;
}
