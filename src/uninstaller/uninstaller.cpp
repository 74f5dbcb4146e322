#include "uninstaller/uninstaller.h"

#include <windows.h>

#include "base/messages.h"
#include "base/path_list.h"
#include "base/platform.h"
#include "base/uninstall_names.h"
#include "uninstaller/application_folder.h"
#include "uninstaller/command_line.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/left_items.h"
#include "uninstaller/log_parser.h"
#include "uninstaller/path_rules.h"
#include "uninstaller/shared_files.h"
#include "uninstaller/uninstaller_boxes.h"

namespace {

// Far more than any log of three shortcuts and the shared files of a
// package holds.
const DWORD kMaxLogSize = 16 * 1024 * 1024;

// Reads and parses the log; a failure is reported (the application's name
// is not known yet: the caption is the product's).
bool ReadLog(const char* path, UninstallLog& log) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    ShowFailure(kProductCaption, missing ? IDS_UN_LOG_MISSING : IDS_UN_LOG_UNREADABLE, path);
    return false;
  }
  DWORD sizeHigh = 0;
  const DWORD size = GetFileSize(file, &sizeHigh);
  bool read = size != INVALID_FILE_SIZE && sizeHigh == 0 && size <= kMaxLogSize;
  char* text = static_cast<char*>(platform::Allocate(read ? size + 1 : 1));
  DWORD got = 0;
  read = read && ReadFile(file, text, size, &got, nullptr) && got == size;
  CloseHandle(file);
  const int badLine = read ? ParseUninstallLog(text, size, log) : 0;
  platform::Free(text);
  if (!read) {
    ShowFailure(kProductCaption, IDS_UN_LOG_UNREADABLE, path);
  } else if (badLine != 0) {
    ShowFailure(kProductCaption, IDS_UN_LOG_DAMAGED, path, badLine);
  }
  return read && badLine == 0;
}

void RemoveShortcuts(const UninstallLog& log, LeftItems& left) {
  SharedString path;
  for (int position = 0; NextPath(log.shortcuts, position, path);) RemoveFile(path, left);
}

void RemoveUninstallEntry(const SharedString& appName, LeftItems& left) {
  // A "\" would name another key, possibly one above the entry.
  if (HasSeparator(appName)) {
    left.Add(IDS_UN_LEFT_ENTRY, appName);
    return;
  }
  SharedString key;
  FormatString(key, uninstall::kUninstallKeyFormat, appName.Text());
  const LONG result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
    left.Add(IDS_UN_LEFT_ENTRY, appName);
  }
}

// The folder being removed must not be the current one, which Windows
// keeps from being removed.
void LeaveCurrentFolder() {
  char windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length > 0 && length < MAX_PATH) SetCurrentDirectoryA(windows);
}

}  // namespace

int RunUninstaller() {
  LeaveCurrentFolder();
  SharedString logPath;
  if (!LogPathFromCommandLine(GetCommandLineA(), logPath)) {
    ShowFailure(kProductCaption, IDS_UN_USAGE);
    return 1;
  }
  UninstallLog log;
  if (!ReadLog(logPath, log)) return 1;
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
  ReleaseSharedFiles(log, caption, kept, left);
  RemoveFolderTree(folder, kept, left);
  RemoveUninstallEntry(log.appName, left);
  ShowOutcome(caption, log.appName, left);
  return left.IsEmpty() ? 0 : 1;
}
