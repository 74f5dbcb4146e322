#include "base/program_arguments.h"

#include <string.h>

#include "base/compare_no_case.h"
#include "base/platform.h"

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* text) {
  while (IsBlank(*text)) ++text;
  return text;
}

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

const char* NextArgument(const char* text, SharedString& argument, bool toEnd) {
  argument.Empty();
  bool quoted = false;
  for (; *text != '\0' && (quoted || toEnd || !IsBlank(*text)); ++text) {
    if (*text == '"') {
      quoted = !quoted;
    } else {
      argument += *text;
    }
  }
  return text;
}

bool IsSwitch(const char* argument, char letter) {
  return argument[0] == '/' &&
         platform::ToUpper(static_cast<unsigned char>(argument[1])) == letter &&
         argument[2] == '\0';
}

bool IsSwitchWithValue(const char* argument, const char* name, SharedString& value) {
  const int length = static_cast<int>(strlen(name));
  if (argument[0] != '/' || !MatchesNoCase(argument + 1, name, length) ||
      argument[length + 1] != '=' || argument[length + 2] == '\0') {
    return false;
  }
  value = argument + length + 2;
  return true;
}
