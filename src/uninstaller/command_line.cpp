#include "uninstaller/command_line.h"

#include <string.h>

#include "base/path_rules.h"
#include "base/program_arguments.h"
#include "base/uninstall_names.h"

bool ParseUninstallerCommandLine(const char* commandLine, UninstallerCommandLine& parsed) {
  const char* rest = SkipBlanks(AfterProgramPath(SkipBlanks(commandLine)));
  // A log's full path never starts with "/": what does is a switch.
  while (rest[0] == '/' || (rest[0] == '"' && rest[1] == '/')) {
    SharedString argument;
    const char* next = NextArgument(rest, argument);
    if (IsSwitch(argument, 'S')) {
      parsed.silent = true;
    } else if (!IsSwitchWithValue(argument, "LOG", parsed.runLogPath)) {
      return false;
    }
    rest = SkipBlanks(next);
  }
  int length = static_cast<int>(strlen(rest));
  while (length > 0 && IsBlank(rest[length - 1])) --length;
  if (length >= 2 && rest[0] == '"' && rest[length - 1] == '"') {
    ++rest;
    length -= 2;
  }
  const SharedString path = SharedString(rest).Middle(0, length);
  if (!IsFullPath(path) ||
      !IsSamePath(path.Text() + LastSeparator(path) + 1, uninstall::kLogName)) {
    return false;
  }
  parsed.logPath = path;
  return true;
}

bool LogPathFromCommandLine(const char* commandLine, SharedString& logPath) {
  UninstallerCommandLine parsed;
  if (!ParseUninstallerCommandLine(commandLine, parsed)) return false;
  logPath = parsed.logPath;
  return true;
}

bool ParseRemoverCommandLine(const char* commandLine, RemoverCommandLine& parsed) {
  SharedString argument, process;
  const char* rest = NextArgument(SkipBlanks(AfterProgramPath(SkipBlanks(commandLine))), argument);
  if (!IsSwitchWithValue(argument, "REMOVE", process)) return false;
  parsed.process = 0;
  for (const char* digit = process; *digit != '\0'; ++digit) {
    if (*digit < '0' || *digit > '9' || parsed.process > 0xFFFFFFFu) return false;
    parsed.process = parsed.process * 10 + static_cast<unsigned long>(*digit - '0');
  }
  rest = NextArgument(SkipBlanks(rest), parsed.uninstaller);
  NextArgument(SkipBlanks(rest), parsed.folder);
  return IsFullPath(parsed.uninstaller) && (parsed.folder.IsEmpty() || IsFullPath(parsed.folder));
}
