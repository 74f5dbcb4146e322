#include "base/run_log.h"

#include <windows.h>

#include "base/file_handles.h"
#include "base/folder_security.h"
#include "base/messages.h"
#include "base/shared_string.h"

namespace {

HANDLE logFile = INVALID_HANDLE_VALUE;
bool silent = false;
unsigned confirmedId = 0;
SharedString held;  // lines not written yet
const int kHeldLimit = 8192;

void WriteHeld() {
  DWORD written = 0;
  if (!held.IsEmpty()) {
    WriteFile(logFile, held.Text(), static_cast<DWORD>(held.Length()), &written, nullptr);
  }
  held.Empty();
}

void Hold(const SharedString& line) {
  // One block for a few kilobytes of lines: appends then write in place.
  if (held.IsEmpty()) held.Reserve(kHeldLimit + 1024);
  held += line;
  held += "\r\n";
  if (held.Length() >= kHeldLimit) WriteHeld();
}

const char* AnswerName(int answer) {
  switch (answer) {
    case IDYES:
      return " (Yes)";
    case IDNO:
      return " (No)";
    case IDRETRY:
      return " (Retry)";
    case IDCANCEL:
      return " (Cancel)";
  }
  return "";
}

bool OpenRunLog(const char* path, const char* program) {
  // An administrator's log is never written through a link, or into a file
  // that another name shares: a user may make either where logs are kept.
  logFile = RunsAsAdministrator() ? CreateOwnFile(path)
                                  : CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (logFile == INVALID_HANDLE_VALUE) return false;
  SYSTEMTIME now;
  GetLocalTime(&now);
  LogLine("%s, started %04u-%02u-%02u %02u:%02u:%02u", program, now.wYear, now.wMonth, now.wDay,
          now.wHour, now.wMinute, now.wSecond);
  LogLine("Command line: %s", GetCommandLineA());
  return true;
}

int LoggedMessageBox(const MessageBoxRequest& request) {
  int answer = IDOK;
  if (!silent) {
    answer = SystemMessageBox(request);
  } else if (request.id == confirmedId) {
    answer = IDYES;
  } else if ((request.style & MB_TYPEMASK) == MB_YESNO) {
    answer = IDNO;
  } else if ((request.style & MB_TYPEMASK) == MB_RETRYCANCEL) {
    answer = IDCANCEL;
  }
  LogMessageBox(request, answer);
  return answer;
}

}  // namespace

void BeginRun(const char* program, const char* logPath, bool silentRun, unsigned confirmed) {
  silent = silentRun;
  confirmedId = confirmed;
  const bool logged = logPath[0] != '\0' && OpenRunLog(logPath, program);
  if (silent || logged) SetMessageBoxHandler(LoggedMessageBox);
}

int EndRun(int exitCode) {
  LogLine("Result: exit code %d", exitCode);
  if (logFile != INVALID_HANDLE_VALUE) {
    WriteHeld();
    CloseHandle(logFile);
    logFile = INVALID_HANDLE_VALUE;
  }
  return exitCode;
}

void LogLine(const char* format, ...) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  SharedString line;
  va_list arguments;
  va_start(arguments, format);
  FormatStringV(line, format, arguments);
  va_end(arguments);
  Hold(line);
}

void LogMessageBox(const MessageBoxRequest& request, int answer) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  SharedString line;
  FormatString(line, "Message %u%s: %s", request.id, AnswerName(answer), request.text);
  line.ReplaceAll("\n", "\r\n  ");
  Hold(line);
  WriteHeld();
}
