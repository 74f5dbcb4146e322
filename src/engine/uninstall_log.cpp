#include "engine/uninstall_log.h"

#include <windows.h>

#include "base/messages.h"
#include "base/run_log.h"
#include "base/uninstall_key.h"
#include "base/uninstall_names.h"
#include "engine/directory_path.h"
#include "engine/install_record.h"
#include "engine/output_file.h"
#include "engine/system_folders.h"
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
// changed.
void RegisterUninstaller(const char* logPath, const SharedString& logText,
                         const SharedString& recordText) {
  const PackageHeader& header = Settings.Header;
  SharedString program;
  if (header.ProgramFileName[0] != '\0') {
    FormatString(program, "%s\\%s", Settings.DestinationDir.Text(), header.ProgramFileName);
  }
  const SharedString uninstaller = UninstallerPath();
  const UninstallEntryValues values = {header.AppName, header.AppVersion, uninstaller,
                                       logPath,        Settings.DestinationDir,
                                       program,        InstalledKiB(),
                                       &logText,       &recordText};
  const unsigned failed = WriteUninstallEntry(values);
  if (failed & kEntryKeyNotCreated) {
    ShowError(nullptr, Settings.SetupCaption, IDS_CREATE_REGISTRY_KEY);
    return;
  }
  const unsigned kValues[] = {kDisplayNameNotSaved, kUninstallStringNotSaved, kOtherValueNotSaved};
  for (unsigned value : kValues) {
    if (failed & value) ShowError(nullptr, Settings.SetupCaption, IDS_SAVE_REGISTRY_KEY);
  }
  LogLine("Uninstall entry: HKLM\\%s", UninstallKeyName(header.AppName).Text());
}

// A file of the uninstall: created whole, or IDS_OPEN_FILE or IDS_WRITE_FILE naming it.
bool WriteWholeFile(const char* path, const SharedString& text) {
  HANDLE file = CreateOutputFile(path);
  return file != INVALID_HANDLE_VALUE &&
         WriteAndClose(file, path, text.Text(), static_cast<DWORD>(text.Length()));
}

}  // namespace

void WriteUninstallLog() {
  const SharedString& destination = Settings.DestinationDir;
  SharedString logPath, recordPath;
  FormatString(logPath, "%s\\%s", destination.Text(), uninstall::kLogName);
  FormatString(recordPath, "%s\\%s", destination.Text(), uninstall::kRecordName);
  if (!CreateDirectoryPath(destination)) {
    ShowError(nullptr, Settings.SetupCaption, IDS_CREATE_DIRECTORY, destination);
    return;
  }
  // Before the log, the record or the entry change.
  const SharedString recordText = InstallRecordToWrite(recordPath);
  const SharedString logText = LogText();
  if (!WriteWholeFile(logPath, logText) || !WriteWholeFile(recordPath, recordText)) return;
  RegisterUninstaller(logPath, logText, recordText);
}
