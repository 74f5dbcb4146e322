#include "uninstaller/command_line.h"

#include <string.h>

#include "base/platform.h"
#include "base/uninstall_names.h"
#include "base/path_rules.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (platform::ToLower(static_cast<unsigned char>(*text)) !=
        platform::ToLower(static_cast<unsigned char>(*prefix))) {
      return false;
    }
  }
  return true;
}

// Where the program's own path ends in `line` (which starts with it).
const char* AfterProgramPath(const char* line) {
  if (*line == '"') {
    const char* closing = strchr(line + 1, '"');
    return closing != nullptr ? closing + 1 : line + strlen(line);
  }
  for (const char* c = line; *c != '\0'; ++c) {
    if (StartsWithNoCase(c, ".exe") && (IsBlank(c[4]) || c[4] == '\0')) return c + 4;
  }
  const char* end = line;
  while (*end != '\0' && !IsBlank(*end)) ++end;
  return end;
}

}  // namespace

bool LogPathFromCommandLine(const char* commandLine, SharedString& logPath) {
  const char* rest = commandLine;
  while (IsBlank(*rest)) ++rest;
  rest = AfterProgramPath(rest);
  while (IsBlank(*rest)) ++rest;
  int length = static_cast<int>(strlen(rest));
  while (length > 0 && IsBlank(rest[length - 1])) --length;
  if (length >= 2 && rest[0] == '"' && rest[length - 1] == '"') {
    ++rest;
    length -= 2;
  }
  const SharedString path = SharedString(rest).Middle(0, length);
  if (!IsFullPath(path) || !IsSamePath(path.Text() + LastSeparator(path) + 1, uninstall::kLogName)) {
    return false;
  }
  logPath = path;
  return true;
}
