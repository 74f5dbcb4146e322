#include "engine/uninstall_log.h"

#include <windows.h>

#include "base/file_handles.h"
#include "base/install_journal.h"
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

// BeginInstallUnderWay made the entry: nothing was installed before.
bool entryMade = false;

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

// The entry's values, as far as they are known; without texts, those of an
// install under way (base/uninstall_key.h).
unsigned WriteEntry(const char* logPath, const SharedString* logText,
                    const SharedString* recordText) {
  const PackageHeader& header = Settings.Header;
  SharedString program;
  if (header.ProgramFileName[0] != '\0') {
    FormatString(program, "%s\\%s", Settings.DestinationDir.Text(), header.ProgramFileName);
  }
  const SharedString uninstaller = UninstallerPath();
  const UninstallEntryValues values = {
      header.AppName, header.AppVersion, uninstaller, logPath,   Settings.DestinationDir,
      program,        InstalledKiB(),    logText,     recordText};
  return WriteUninstallEntry(values);
}

SharedString LogPath() {
  SharedString logPath;
  FormatString(logPath, "%s\\%s", Settings.DestinationDir.Text(), uninstall::kLogName);
  return logPath;
}

// The Uninstall entry (base/uninstall_key.h), which keeps the digests of the
// log and the record beside it: the uninstaller then tells that neither was
// changed. False when the entry would not lead the uninstaller to the log
// (no key, or no UninstallString); the values deployment tools read are
// reported when they fail, and the run goes on.
bool RegisterUninstaller(const char* logPath, const SharedString& logText,
                         const SharedString& recordText) {
  const PackageHeader& header = Settings.Header;
  const unsigned failed = WriteEntry(logPath, &logText, &recordText);
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

}  // namespace

bool BeginInstallUnderWay() {
  const char* appName = Settings.Header.AppName;
  HKEY entry;
  if (RegOpenKeyExA(ScopeRoot(), UninstallKeyName(appName), 0, KEY_QUERY_VALUE, &entry) ==
      ERROR_SUCCESS) {
    RegCloseKey(entry);
  } else if (WriteEntry(LogPath(), nullptr, nullptr) & kEntryKeyNotCreated) {
    return false;
  } else {
    entryMade = true;
  }
  return OpenInstallJournal(appName, Settings.DestinationDir);
}

void EndInstallUnderWay(bool complete) {
  if (CloseInstallJournal(complete) && !complete && entryMade) {
    RegDeleteKeyA(ScopeRoot(), UninstallKeyName(Settings.Header.AppName));
  }
}

bool WriteUninstallLog() {
  const SharedString& destination = Settings.DestinationDir;
  const SharedString logPath = LogPath();
  SharedString recordPath;
  FormatString(recordPath, "%s\\%s", destination.Text(), uninstall::kRecordName);
  SharedString notItself;
  if (!CreateDirectoryPath(destination, nullptr, nullptr, &notItself)) {
    ShowError(nullptr, Settings.SetupCaption, IDS_CREATE_DIRECTORY,
              notItself.IsEmpty() ? destination : notItself);
    return false;
  }
  const SharedString recordText = InstallRecordToWrite();
  const SharedString logText = LogText();
  // Files of these digests hold all the journal says: from here on they
  // vouch for it, before the entry does.
  WriteDigestsAt(InstallJournalKeyName(Settings.Header.AppName), logText, recordText);
  Placement logPlacement, recordPlacement;
  if (!PlaceWholeFile(destination, logPath, logText.Text(), static_cast<DWORD>(logText.Length()),
                      logPlacement)) {
    return false;
  }
  const bool record = PlaceWholeFile(destination, recordPath, recordText.Text(),
                                     static_cast<DWORD>(recordText.Length()), recordPlacement);
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
