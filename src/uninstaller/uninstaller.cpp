#include "uninstaller/uninstaller.h"

#include <windows.h>
#include <shlobj.h>

#include "base/file_contents.h"
#include "base/file_handles.h"
#include "base/install_journal.h"
#include "base/install_record_text.h"
#include "base/install_scope.h"
#include "base/messages.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/run_log.h"
#include "base/shell_folder.h"
#include "base/uninstall_key.h"
#include "base/uninstall_names.h"
#include "uninstaller/application_folder.h"
#include "uninstaller/command_line.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/kept_chain.h"
#include "uninstaller/left_items.h"
#include "uninstaller/log_parser.h"
#include "uninstaller/own_file_removal.h"
#include "uninstaller/path_resolution.h"
#include "uninstaller/recorded_items.h"
#include "uninstaller/recorded_keys.h"
#include "uninstaller/shared_files.h"
#include "uninstaller/uninstall_entry.h"
#include "uninstaller/uninstaller_boxes.h"

namespace {

// Far more than any log or record of a package holds.
const unsigned kMaxFileSize = 64 * 1024 * 1024;
// The installs one run removes: the one the log names, and earlier ones in
// other folders that its record names.
const int kMaxInstalls = 16;

// One install of the application that this run removes: its folder, as
// the file system names it and held for the whole run, and its record.
struct Install {
  SharedString folder;
  InstallRecord record;
};

enum class Reading { kDone, kMissing, kUnreadable, kNotItself };

// The file `name` in the held `folder`, read through a handle that holds
// the file itself; nobody writes it while it is read.
Reading ReadOwnFile(const SharedString& folder, const char* name, SharedString& text) {
  // A drive's root ends in "\" already.
  const bool root = LastSeparator(folder) == folder.Length() - 1;
  const SharedString path = root ? folder + name : folder + "\\" + name;
  HANDLE file = OpenItself(path, GENERIC_READ, FILE_SHARE_READ);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Reading::kMissing
                                                                          : Reading::kUnreadable;
  }
  Reading reading = Reading::kNotItself;
  if (HoldsItself(file, path)) {
    reading = ReadOpenFile(file, kMaxFileSize, text) ? Reading::kDone : Reading::kUnreadable;
  }
  CloseHandle(file);
  return reading;
}

// The failures below come before the application is known for sure: their
// caption is the product's.

// Reads and parses the log in the application's `folder`, and checks its
// shortcut lines against the links setup makes. Messages name the log as
// the command line does, `path`; a log that is not there sets `missing`
// and is left to the caller to tell.
bool ReadLog(const char* path, const SharedString& folder, SharedString& text, UninstallLog& log,
             bool& missing) {
  switch (ReadOwnFile(folder, uninstall::kLogName, text)) {
    case Reading::kMissing:
      missing = true;
      return false;
    case Reading::kUnreadable:
      ShowFailure(kProductCaption, IDS_UN_LOG_UNREADABLE, path);
      return false;
    case Reading::kNotItself:
      ShowFailure(kProductCaption, IDS_UN_FILE_LINK, path);
      return false;
    case Reading::kDone:
      break;
  }
  int badLine = ParseUninstallLog(text, static_cast<size_t>(text.Length()), log);
  if (badLine == 0) {
    SharedString
        folders[sizeof uninstall::kShortcutFolders / sizeof uninstall::kShortcutFolders[0]];
    int count = 0;
    for (int csidl : uninstall::kShortcutFolders) GetSpecialFolderPath(folders[count++], csidl);
    badLine = FindWrongShortcutLine(log, folders, count);
  }
  if (badLine != 0) ShowFailure(kProductCaption, IDS_UN_LOG_DAMAGED, path, badLine);
  return badLine == 0;
}

bool MatchesEither(const SharedString& text, const SharedString& digest,
                   const SharedString& pending) {
  return MatchesDigest(text, text.Length(), digest) ||
         (!pending.IsEmpty() && MatchesDigest(text, text.Length(), pending));
}

// The install that stopped before its end whose entry names the log at
// `logPath` (base/install_journal.h): its application and what it made.
bool FindStoppedInstall(const char* logPath, SharedString& appName, InstallJournal& journal) {
  HKEY entries;
  if (RegOpenKeyExA(ScopeRoot(), kUninstallKeyParent, 0, KEY_ENUMERATE_SUB_KEYS, &entries) !=
      ERROR_SUCCESS) {
    return false;
  }
  char name[256];
  bool found = false;
  for (DWORD index = 0; !found; ++index) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(entries, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    UninstallEntry entry;
    found = ReadUninstallEntry(name, logPath, entry) && ReadInstallJournal(name, journal);
  }
  RegCloseKey(entries);
  if (found) appName = name;
  return found;
}

// The record beside the log, when the Uninstall entry keeps digests: both
// files as setup wrote them (or as an install that stopped was putting them
// in place), or nothing is removed; what a stopped install made is added
// unless that record holds it. Without digests, an install that stopped
// early has what it made for its record; else `hasRecord` false: a
// log that another setup program wrote, which vouches for nothing (a line
// repeated in it is damage all the same).
bool ReadRecord(const char* logPath, const SharedString& folder, const SharedString& logText,
                const UninstallLog& log, InstallRecord& record, bool& hasRecord) {
  UninstallEntry entry;
  if (!ReadUninstallEntry(log.appName, logPath, entry)) {
    ShowFailure(kProductCaption, IDS_UN_NOT_REGISTERED, logPath, log.appName.Text());
    return false;
  }
  InstallJournal stopped;
  const bool hasStopped = ReadInstallJournal(log.appName, stopped);
  hasRecord = !entry.logDigest.IsEmpty() || !entry.recordDigest.IsEmpty();
  if (!hasRecord && hasStopped) {
    record.appName = log.appName;
    AddJournalToRecord(stopped, folder, record);
    hasRecord = true;
    return true;
  }
  if (!hasRecord) {
    const int repeated = FindRepeatedSharedLine(log);
    if (repeated != 0) ShowFailure(kProductCaption, IDS_UN_LOG_DAMAGED, logPath, repeated);
    return repeated == 0;
  }
  if (!MatchesEither(logText, entry.logDigest, stopped.logDigest)) {
    ShowFailure(kProductCaption, IDS_UN_LOG_CHANGED, logPath);
    return false;
  }
  const SharedString recordPath =
      SharedString(logPath).Middle(0, LastSeparator(logPath) + 1) + uninstall::kRecordName;
  SharedString text;
  const Reading reading = ReadOwnFile(folder, uninstall::kRecordName, text);
  if (reading == Reading::kNotItself) {
    ShowFailure(kProductCaption, IDS_UN_FILE_LINK, recordPath.Text());
    return false;
  }
  if (reading != Reading::kDone || !MatchesEither(text, entry.recordDigest, stopped.recordDigest)) {
    ShowFailure(kProductCaption, IDS_UN_RECORD_CHANGED, recordPath.Text());
    return false;
  }
  int badLine = ParseInstallRecord(text, static_cast<size_t>(text.Length()), record);
  if (badLine == 0 && !IsSamePath(record.appName, log.appName)) badLine = 2;
  if (badLine != 0) ShowFailure(kProductCaption, IDS_UN_RECORD_DAMAGED, recordPath.Text(), badLine);
  if (hasStopped && !MatchesEither(text, stopped.recordDigest, SharedString())) {
    AddJournalToRecord(stopped, folder, record);
  }
  return badLine == 0;
}

// Whether one of the `count` installs lies in `folder`.
bool HasInstallIn(const Install* installs, int count, const char* folder) {
  for (int i = 0; i < count; ++i) {
    if (IsSamePath(installs[i].folder, folder)) return true;
  }
  return false;
}

// The earlier installs in other folders that the record of installs[0]
// names, and those that their records name in turn, after it in
// `installs` (kMaxInstalls in all, and room for one more): each folder held
// as itself, of the application's own, and holding a record that the
// digest of its line vouches for. One whose folder is gone, or that fails
// a check, stays: a line in `left`, and its line in `stayed`
// (uninstaller/kept_chain.h). Returns how many installs there are, the
// first included.
int ReadEarlierInstalls(HeldFolders& held, Install* installs, const char* appName, LeftItems& left,
                        SharedString& stayed) {
  int count = 1;
  SharedString digest, folder, text, line;
  for (int named = 0; named < count; ++named) {
    const SharedString& lines = installs[named].record.earlierInstalls;
    for (int position = 0; NextEarlierInstall(lines, position, digest, folder);) {
      if (HasInstallIn(installs, count, LongPath(folder))) continue;
      // The one after the last is room to read one that is not taken.
      Install& install = installs[count];
      const FolderOpening opening = OpenApplicationFolder(folder, held, install.folder);
      FormatString(line, "%s %s", digest.Text(), folder.Text());
      if (opening == FolderOpening::kMissing) {
        left.Add(IDS_UN_LEFT_EARLIER_GONE, folder);
        AppendPathOnce(stayed, line);
        continue;
      }
      if (count == kMaxInstalls || opening != FolderOpening::kOpen ||
          !IsApplicationsOwnFolder(install.folder) ||
          ReadOwnFile(install.folder, uninstall::kRecordName, text) != Reading::kDone ||
          !MatchesDigest(text, text.Length(), digest) ||
          ParseInstallRecord(text, static_cast<size_t>(text.Length()), install.record) != 0 ||
          !IsSamePath(install.record.appName, appName)) {
        left.Add(IDS_UN_LEFT_EARLIER, folder);
        AppendPathOnce(stayed, line);
        continue;
      }
      ++count;
    }
  }
  return count;
}

void RemoveShortcuts(HeldFolders& held, const UninstallLog& log, LeftItems& left) {
  SharedString path;
  for (int position = 0; NextPath(log.shortcuts, position, path);) RemoveFile(held, path, left);
}

// The raises of every install together: a file counted by two installs
// gives back both.
SharedString RaisesOf(const Install* installs, int count) {
  InstallRecord raises;
  SharedString path;
  int times = 0;
  for (int i = 0; i < count; ++i) {
    for (int position = 0; NextSharedFile(installs[i].record.sharedFiles, position, path, times);) {
      AddSharedRaises(raises, path, times);
    }
  }
  return raises.sharedFiles;
}

// Step 5 for the `count` installs the record vouches for: their shortcuts,
// counts, files and folders, and the entry, unless earlier installs
// `stayed`: then the first install's log and record are written anew and
// the entry kept (uninstaller/kept_chain.h). Whether the entry went.
bool RemoveInstalls(HeldFolders& held, const Install* installs, int count, const UninstallLog& log,
                    const SharedString& stayed, const char* caption, LeftItems& left) {
  KeptFiles kept;
  const bool keepChain = !stayed.IsEmpty();
  RemoveShortcuts(held, log, left);
  ReleaseSharedFiles(held, RaisesOf(installs, count), caption, kept, left);
  bool fileTypes = false;
  for (int i = 0; i < count; ++i) {
    RemoveRecordedItems(held, installs[i].folder, installs[i].record, kept, left,
                        keepChain && i == 0);
    if (RemoveRecordedKeys(installs[i].record)) fileTypes = true;
  }
  if (fileTypes) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  // What the install under way noted was removed with the rest.
  DeleteInstallJournal(log.appName);
  if (keepChain && KeepChain(installs[0].folder, log, installs[0].record, stayed)) return false;
  RemoveUninstallEntry(log.appName, left);
  return true;
}

// The folder being removed must not be the current one, which Windows
// keeps from being removed.
void LeaveCurrentFolder() {
  char windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length > 0 && length < MAX_PATH) SetCurrentDirectoryA(windows);
}

// A per-user uninstaller in the folder it removed goes too, after its end,
// with the folder when setup made it.
void RemoveItselfAfterExit(const Install& main, const SharedString& own, LeftItems& left) {
  const int separator = LastSeparator(own);
  if (!IsPerUserScope() || separator < 0 || !IsSamePath(own.Middle(0, separator), main.folder)) {
    return;
  }
  const bool madeFolder = ListHoldsPath(main.record.folders, ".");
  if (!RemoveAfterExit(own, madeFolder ? main.folder.Text() : "")) {
    left.Add(IDS_UN_LEFT_NOT_REMOVED, own);
  }
}

// The log and the record of the install in the held `main.folder`, or,
// for an install that stopped before its log, what it noted
// (base/install_journal.h) for both. False after a reported failure.
bool ReadInstall(const SharedString& logPath, Install& main, UninstallLog& log, bool& hasRecord) {
  SharedString logText;
  bool logMissing = false;
  InstallJournal stopped;
  if (ReadLog(logPath, main.folder, logText, log, logMissing)) {
    return ReadRecord(logPath, main.folder, logText, log, main.record, hasRecord);
  }
  if (!logMissing) return false;
  if (!FindStoppedInstall(logPath, log.appName, stopped)) {
    ShowFailure(kProductCaption, IDS_UN_LOG_MISSING, logPath.Text());
    return false;
  }
  main.record.appName = log.appName;
  AddJournalToRecord(stopped, main.folder, main.record);
  hasRecord = true;
  return true;
}

// A log whose folder is not there: an install that stopped before it made
// its folder left only its entry, which goes; otherwise the log is missing.
int RemoveStoppedWithoutFolder(const SharedString& logPath) {
  SharedString appName;
  InstallJournal stopped;
  if (!FindStoppedInstall(logPath, appName, stopped)) {
    ShowFailure(kProductCaption, IDS_UN_LOG_MISSING, logPath.Text());
    return kExitFailed;
  }
  LeftItems left;
  DeleteInstallJournal(appName);
  RemoveUninstallEntry(appName, left);
  return left.IsEmpty() ? kExitDone : kExitFailed;
}

// The run after the command line was read: `understood` when it was.
int Uninstall(bool understood, const SharedString& logPath, bool silent) {
  if (!understood) {
    ShowFailure(kProductCaption, IDS_UN_USAGE);
    return kExitFailed;
  }
  const SharedString own = OwnFile();
  HeldFolders held;
  Install installs[kMaxInstalls + 1];
  Install& main = installs[0];
  // "C:\Uninst.log" lies in "C:\", not in "C:" (the current folder there).
  const int separator = LastSeparator(logPath);
  switch (OpenApplicationFolder(logPath.Middle(0, separator > 2 ? separator : separator + 1), held,
                                main.folder)) {
    case FolderOpening::kMissing:
      return RemoveStoppedWithoutFolder(logPath);
    case FolderOpening::kNotItself:
      ShowFailure(kProductCaption, IDS_UN_FOLDER_REFUSED, main.folder.Text());
      return kExitFailed;
    case FolderOpening::kOpen:
      break;
  }
  UninstallLog log;
  bool hasRecord = false;
  if (!ReadInstall(logPath, main, log, hasRecord)) return kExitFailed;
  SharedString caption;
  FormatString(caption, "%s Uninstall", log.appName.Text());
  SetFatalCaption(caption);
  if (!IsApplicationsOwnFolder(main.folder)) {
    ShowFailure(caption, IDS_UN_FOLDER_REFUSED, main.folder.Text());
    return kExitFailed;
  }
  LeftItems left;
  SharedString stayed;
  const int count = hasRecord ? ReadEarlierInstalls(held, installs, log.appName, left, stayed) : 1;
  if (!ConfirmRemoval(caption, log.appName) ||
      (log.checkProgramNotRunning &&
       !WaitForProgramToClose(caption, log.appName, log.windowClass))) {
    return kExitFailed;
  }
  if (!hasRecord) {
    // Nothing vouches for what such a log lists: nothing outside its
    // folder is touched, no count given back.
    left.Add(IDS_UN_LEFT_NO_RECORD, main.folder);
    RemoveUninstallEntry(log.appName, left);
  }
  if (!hasRecord || RemoveInstalls(held, installs, count, log, stayed, caption, left)) {
    RemoveItselfAfterExit(main, own, left);
  }
  ShowOutcome(caption, log.appName, left);
  if (left.IsEmpty()) return kExitDone;
  return silent && left.OnlyAtRestart() ? kExitRestartNeeded : kExitFailed;
}

}  // namespace

int RunUninstaller() {
  LeaveCurrentFolder();
  RemoverCommandLine remover;
  if (IsPerUserScope() && ParseRemoverCommandLine(GetCommandLineA(), remover)) {
    return RunRemover(remover);
  }
  UninstallerCommandLine commandLine;
  const bool understood = ParseUninstallerCommandLine(GetCommandLineA(), commandLine);
  // Silent, the confirmation is the one question answered Yes: the run
  // stands for removing.
  BeginRun("Uninstaller", commandLine.runLogPath, commandLine.silent, IDS_UN_CONFIRM);
  return EndRun(Uninstall(understood, commandLine.logPath, commandLine.silent));
}
