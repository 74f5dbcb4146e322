#include "setup_program/unattended.h"

#include <windows.h>

#include "base/messages.h"
#include "base/run_log.h"

namespace {

bool silent = false;

int LoggedMessageBox(const MessageBoxRequest& request) {
  int answer = kAnswerOk;
  if (!silent) {
    answer = SystemMessageBox(request);
  } else if ((request.style & MB_TYPEMASK) == MB_YESNO) {
    answer = request.id == IDS_PROGRAM_EXISTS ? kAnswerYes : kAnswerNo;
  }
  LogMessageBox(request, answer);
  return answer;
}

}  // namespace

void BeginRun(const SetupCommandLine& commandLine) {
  silent = commandLine.silent;
  const bool logged = !commandLine.logPath.IsEmpty() && OpenRunLog(commandLine.logPath, "Setup");
  if (silent || logged) SetMessageBoxHandler(LoggedMessageBox);
}

void ShowUsage(const char* wrong) {
  if (wrong != nullptr) LogLine("Not understood: %s", wrong);
  const unsigned style = wrong != nullptr ? unsigned{kBoxError} : unsigned{MB_ICONINFORMATION};
  ResourceText usage(IDS_USAGE);
  ShowMessageBox(MessageBoxRequest{nullptr, IDS_USAGE, usage.Text(), kProductCaption, style});
}

int EndRun(int exitCode) {
  LogLine("Result: exit code %d", exitCode);
  CloseRunLog();
  return exitCode;
}
