#include "setup_program/command_line.h"

#include "base/compare_no_case.h"
#include "base/deployment_interface.h"
#include "base/path_rules.h"
#include "base/program_arguments.h"

namespace {

// The one switch longer than a letter; any case.
bool IsPassiveSwitch(const char* argument) {
  return argument[0] == '/' && StartsWithNoCase(argument + 1, switches::kPassive) &&
         argument[sizeof switches::kPassive] == '\0';
}

}  // namespace

bool ParseSetupCommandLine(const char* commandLine, SetupCommandLine& parsed) {
  const char* rest = SkipBlanks(AfterProgramPath(SkipBlanks(commandLine)));
  while (*rest != '\0') {
    // "/D=" takes the rest of the line. Its quotes go, wherever they stand
    // (no folder's name holds one), and the blanks that end it go with
    // DestinationFromText's trimming.
    const bool destination =
        StartsWithNoCase(rest + (rest[0] == '"' ? 1 : 0), switches::kDestination);
    SharedString argument;
    const char* next = NextArgument(rest, argument, destination);
    if (destination) {
      if (DestinationFromText(argument.Text() + sizeof switches::kDestination - 1,
                              parsed.destination)) {
        return true;
      }
      parsed.wrong = argument;
      return false;
    }
    if (IsSwitch(argument, switches::kSilent)) {
      parsed.silent = true;
    } else if (IsPassiveSwitch(argument)) {
      parsed.passive = true;
    } else if (IsSwitch(argument, switches::kHelp)) {
      parsed.help = true;
    } else if (!IsSwitchWithValue(argument, switches::kLog, parsed.logPath)) {
      parsed.wrong = argument;
      return false;
    }
    rest = SkipBlanks(next);
  }
  return true;
}
