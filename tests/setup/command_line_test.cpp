// The setup program's command line, natively: what the Wine runs of
// unattended_test.cpp leave out.
#include <gtest/gtest.h>

#include "setup_program/command_line.h"

namespace {

TEST(SetupCommandLine, SwitchesAndTheDestinationThatTakesTheRest) {
  const struct {
    const char* line;
    bool understood, silent, help;
    const char* log;
    const char* destination;  // or, when not understood, the argument named
  } cases[] = {
      // A program path with blanks, unquoted, ends after ".exe".
      {"C:\\Down loads\\Setup.exe /s /LOG=\"C:\\a b\\run.log\" /D=C:\\My Apps\\X  ", true, true,
       false, "C:\\a b\\run.log", "C:\\My Apps\\X"},
      {"Setup.exe /? /d=\\\\server\\share/Apps/", true, false, true, "", "\\\\server\\share\\Apps"},
      // Last: what follows is part of the folder ("/" counts as "\").
      {"Setup.exe /D=C:\\X /S", true, false, false, "", "C:\\X\\S"},
      {"Setup.exe /D=C:Games", false, false, false, "", "/D=C:Games"},
      {"Setup.exe /D=", false, false, false, "", "/D="},
      {"Setup.exe /LOG= /S", false, false, false, "", "/LOG="},
      {"Setup.exe /S /SILENT", false, true, false, "", "/SILENT"},
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
