// The setup program's command line as deployment tools write it: NSIS's
// spelling in any case, quoted or not, "/D=" last and taking the rest.
#include <gtest/gtest.h>

#include "setup_program/command_line.h"

namespace {

TEST(SetupCommandLine, SwitchesAndTheDestinationThatTakesTheRest) {
  const struct {
    const char* line;
    bool understood;
    bool silent, help;
    const char* log;
    const char* destination;  // or, when not understood, the argument named
  } cases[] = {
      {"\"C:\\Down loads\\Setup.exe\"", true, false, false, "", ""},
      // An unquoted program path with blanks ends after ".exe".
      {"C:\\Down loads\\Setup.exe /s /LOG=\"C:\\a b\\run.log\" /D=C:\\My Apps\\X  ", true, true,
       false, "C:\\a b\\run.log", "C:\\My Apps\\X"},
      {"Setup.exe \"/log=C:\\r.log\" /? \"/D=C:\\My Apps\\X\"", true, false, true, "C:\\r.log",
       "C:\\My Apps\\X"},
      {"Setup.exe /D=\"C:\\My Apps\\X\"", true, false, false, "", "C:\\My Apps\\X"},
      {"Setup.exe /d=\\\\server\\share/Apps/X/", true, false, false, "",
       "\\\\server\\share\\Apps\\X"},
      // Last: what follows is part of the folder ("/" counts as "\").
      {"Setup.exe /D=C:\\X /S", true, false, false, "", "C:\\X\\S"},
      {"Setup.exe /S /D=My Apps\\X", false, true, false, "", "/D=My Apps\\X"},
      {"Setup.exe /D=C:Games", false, false, false, "", "/D=C:Games"},
      {"Setup.exe /D=", false, false, false, "", "/D="},
      {"Setup.exe /LOG= /S", false, false, false, "", "/LOG="},
      {"Setup.exe /S /SILENT", false, true, false, "", "/SILENT"},
      {"Setup.exe S", false, false, false, "", "S"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    SetupCommandLine parsed;
    ASSERT_EQ(ParseSetupCommandLine(c.line, parsed), c.understood);
    EXPECT_EQ(parsed.silent, c.silent);
    EXPECT_EQ(parsed.help, c.help);
    EXPECT_STREQ(parsed.logPath, c.log);
    EXPECT_STREQ(c.understood ? parsed.destination : parsed.wrong, c.destination);
  }
}

}  // namespace
