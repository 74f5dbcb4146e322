#include "uninstaller/uninstaller.h"

#include <windows.h>

#include "base/file_contents.h"
#include "base/install_record_text.h"
#include "base/messages.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/run_log.h"
#include "base/shell_folder.h"
#include "base/uninstall_names.h"
#include "uninstaller/application_folder.h"
#include "uninstaller/command_line.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/left_items.h"
#include "uninstaller/log_parser.h"
#include "uninstaller/recorded_items.h"
#include "uninstaller/shared_files.h"
#include "uninstaller/uninstall_entry.h"
#include "uninstaller/uninstaller_boxes.h"

namespace {

// Far more than any log or record of a package holds.
const unsigned kMaxFileSize = 64 * 1024 * 1024;

// The failures below come before the application is known for sure: their
// caption is the product's.

// Reads and parses the log, and checks its shortcut lines against the
// links setup makes.
bool ReadLog(const char* path, SharedString& text, UninstallLog& log) {
  switch (ReadFileContents(path, kMaxFileSize, text)) {
    case FileRead::kMissing:
      ShowFailure(kProductCaption, IDS_UN_LOG_MISSING, path);
      return false;
    case FileRead::kUnreadable:
      ShowFailure(kProductCaption, IDS_UN_LOG_UNREADABLE, path);
      return false;
    case FileRead::kDone:
      break;
  }
  int badLine = ParseUninstallLog(text, static_cast<size_t>(text.Length()), log);
  if (badLine == 0) {
    SharedString folders[sizeof uninstall::kShortcutFolders / sizeof uninstall::kShortcutFolders[0]];
    int count = 0;
    for (int csidl : uninstall::kShortcutFolders) GetSpecialFolderPath(folders[count++], csidl);
    badLine = FindWrongShortcutLine(log, folders, count);
  }
  if (badLine != 0) ShowFailure(kProductCaption, IDS_UN_LOG_DAMAGED, path, badLine);
  return badLine == 0;
}

// The record beside the log, when the Uninstall entry keeps digests: both
// files as setup wrote them, or nothing is removed. `hasRecord` false: a
// log that another setup program wrote.
bool ReadRecord(const char* logPath, const SharedString& logText, const UninstallLog& log,
                InstallRecord& record, bool& hasRecord) {
  UninstallEntry entry;
  if (!ReadUninstallEntry(log.appName, logPath, entry)) {
    ShowFailure(kProductCaption, IDS_UN_NOT_REGISTERED, logPath, log.appName.Text());
    return false;
  }
  hasRecord = !entry.logDigest.IsEmpty() || !entry.recordDigest.IsEmpty();
  if (!hasRecord) return true;
  if (!MatchesDigest(logText, logText.Length(), entry.logDigest)) {
    ShowFailure(kProductCaption, IDS_UN_LOG_CHANGED, logPath);
    return false;
  }
  const SharedString recordPath =
      SharedString(logPath).Middle(0, LastSeparator(logPath) + 1) + uninstall::kRecordName;
  SharedString text;
  if (ReadFileContents(recordPath, kMaxFileSize, text) != FileRead::kDone ||
      !MatchesDigest(text, text.Length(), entry.recordDigest)) {
    ShowFailure(kProductCaption, IDS_UN_RECORD_CHANGED, recordPath.Text());
    return false;
  }
  int badLine = ParseInstallRecord(text, static_cast<size_t>(text.Length()), record);
  if (badLine == 0 && !IsSamePath(record.appName, log.appName)) badLine = 2;
  if (badLine != 0) ShowFailure(kProductCaption, IDS_UN_RECORD_DAMAGED, recordPath.Text(), badLine);
  return badLine == 0;
}

void RemoveShortcuts(const UninstallLog& log, LeftItems& left) {
  SharedString path;
  for (int position = 0; NextPath(log.shortcuts, position, path);) RemoveFile(path, left);
}

// Without a record, each line of the log's list is one raise.
SharedString RaisesFromLog(const UninstallLog& log) {
  InstallRecord raises;
  SharedString path;
  for (int position = 0; NextPath(log.sharedFiles, position, path);) {
    AddSharedRaises(raises, path, 1);
  }
  return raises.sharedFiles;
}

// The folder being removed must not be the current one, which Windows
// keeps from being removed.
void LeaveCurrentFolder() {
  char windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length > 0 && length < MAX_PATH) SetCurrentDirectoryA(windows);
}

// The run after the command line was read: `understood` when it was.
int Uninstall(bool understood, const SharedString& logPath, bool silent) {
  if (!understood) {
    ShowFailure(kProductCaption, IDS_UN_USAGE);
    return 1;
  }
  SharedString logText;
  UninstallLog log;
  InstallRecord record;
  bool hasRecord = false;
  if (!ReadLog(logPath, logText, log) || !ReadRecord(logPath, logText, log, record, hasRecord)) {
    return 1;
  }
  SharedString caption;
  FormatString(caption, "%s Uninstall", log.appName.Text());
  SetFatalCaption(caption);
  SharedString folder;
  if (!FindApplicationFolder(logPath, folder)) {
    ShowFailure(caption, IDS_UN_FOLDER_REFUSED, folder.Text());
    return 1;
  }
  if (!ConfirmRemoval(caption, log.appName) ||
      (log.checkProgramNotRunning &&
       !WaitForProgramToClose(caption, log.appName, log.windowClass))) {
    return 1;
  }
  LeftItems left;
  KeptFiles kept;
  RemoveShortcuts(log, left);
  ReleaseSharedFiles(hasRecord ? record.sharedFiles : RaisesFromLog(log), caption, kept, left);
  if (hasRecord) {
    RemoveRecordedItems(folder, record, kept, left);
  } else {
    left.Add(IDS_UN_LEFT_NO_RECORD, folder);
  }
  RemoveUninstallEntry(log.appName, left);
  ShowOutcome(caption, log.appName, left);
  if (left.IsEmpty()) return 0;
  return silent && left.OnlyAtRestart() ? kExitRestartNeeded : 1;
}

}  // namespace

int RunUninstaller() {
  LeaveCurrentFolder();
  UninstallerCommandLine commandLine;
  const bool understood = ParseUninstallerCommandLine(GetCommandLineA(), commandLine);
  const bool logged =
      !commandLine.runLogPath.IsEmpty() && OpenRunLog(commandLine.runLogPath, "Uninstaller");
  if (commandLine.silent || logged) LogBoxes(commandLine.silent);
  const int exitCode = Uninstall(understood, commandLine.logPath, commandLine.silent);
  LogLine("Result: exit code %d", exitCode);
  CloseRunLog();
  return exitCode;
}
