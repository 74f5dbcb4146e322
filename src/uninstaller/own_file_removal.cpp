#include "uninstaller/own_file_removal.h"

#include <windows.h>

#include "base/deployment_interface.h"
#include "base/path_rules.h"
#include "base/uninstall_names.h"
#include "uninstaller/path_resolution.h"

namespace {

// Names tried in the temporary folder before the copy is given up.
const int kCopyNameAttempts = 16;
// Windows may hold an ended program's file for a moment yet: its removal
// is tried this many times, this far apart.
const int kRemovalAttempts = 100;
const DWORD kRemovalPauseMs = 50;

// A copy of the running program in the temporary folder, opened to be
// deleted when its last handle closes: a handle that a process started now
// inherits. INVALID_HANDLE_VALUE when it cannot be made.
HANDLE CopyOfItself(const char* own, SharedString& copy) {
  char temporary[MAX_PATH];
  const DWORD length = GetTempPathA(MAX_PATH, temporary);
  if (length == 0 || length >= MAX_PATH) return INVALID_HANDLE_VALUE;
  const DWORD first = GetTickCount() ^ GetCurrentProcessId();
  for (int attempt = 0; attempt < kCopyNameAttempts; ++attempt) {
    FormatString(copy, "%s~vt%04lX.tmp", temporary,
                 static_cast<unsigned long>((first + attempt) & 0xFFFF));
    if (!CopyFileA(own, copy, TRUE)) continue;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE file = CreateFileA(copy, DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherited,
                              OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) DeleteFileA(copy);
    return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool Start(const char* program, SharedString& command, DWORD flags) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(program, command.GetBuffer(command.Length()), nullptr, nullptr, TRUE, flags,
                      nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

SharedString OwnFile() {
  char own[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, own, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? SharedString() : LongPath(own);
}

bool RemoveAfterExit(const char* uninstaller, const char* folder) {
  SharedString copy;
  HANDLE file = CopyOfItself(uninstaller, copy);
  if (file == INVALID_HANDLE_VALUE) return false;
  HANDLE self = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE,
                  TRUE, 0);
  SharedString command;
  FormatString(command, "\"%s\" /REMOVE=%lu \"%s\" \"%s\"", copy.Text(),
               static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(self)), uninstaller, folder);
  // Out of a job that ends its processes with the uninstaller, where the
  // job allows it.
  const bool started = self != nullptr &&
                       (Start(copy, command, CREATE_BREAKAWAY_FROM_JOB) || Start(copy, command, 0));
  if (self != nullptr) CloseHandle(self);
  // Its last handle now is the copy's, or, when none was started, this one.
  CloseHandle(file);
  return started;
}

int RunRemover(const RemoverCommandLine& commandLine) {
  const char* path = commandLine.uninstaller;
  // Only the uninstaller's own file, whatever the line says.
  if (!IsSamePath(path + LastSeparator(path) + 1, uninstall::kUninstallerName)) return kExitFailed;
  HANDLE process = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(commandLine.process));
  WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
  bool removed = false;
  for (int attempt = 0; attempt < kRemovalAttempts && !removed; ++attempt) {
    removed = DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND;
    if (!removed) Sleep(kRemovalPauseMs);
  }
  if (!commandLine.folder.IsEmpty()) RemoveDirectoryA(commandLine.folder);
  return removed ? kExitDone : kExitFailed;
}
