// The browser command line built from a registered command, and the
// case-insensitive text work it needs; double-byte text is stood in
// natively.
#include "hyperlink/browser_command.h"

#include <string>

#include <gtest/gtest.h>

#include "base/compare_no_case.h"
#include "base/shared_string.h"
#include "double_byte_code_page.h"

namespace {

struct RemoveCase {
  const char* text;
  const char* word;
  const char* expected;
  bool removed;
};

const RemoveCase kRemoveCases[] = {
    {"iexplore.exe -nohome -new", "-nohome", "iexplore.exe  -new", true},
    {"-NoHome-nohome", "-nohome", "", true},
    {"x -NOHOMEy", "-nohome", "x y", true},
    // The search goes on where the removal was, not from the start.
    {"-no-nohomehome", "-nohome", "-nohome", true},
    {"-nohom", "-nohome", "-nohom", false},
    {"", "-nohome", "", false},
    {"text", "", "text", false},
};

TEST(RemoveAllNoCase, RemovesEveryOccurrenceIgnoringCase) {
  for (const RemoveCase& c : kRemoveCases) {
    SharedString text(c.text);
    EXPECT_EQ(RemoveAllNoCase(text, c.word), c.removed) << c.text;
    EXPECT_STREQ(text.Text(), c.expected) << c.text;
    EXPECT_EQ(text.Length(), static_cast<int>(strlen(c.expected))) << c.text;
  }
}

struct PrefixCase {
  const char* text;
  bool expected;
};

TEST(StartsWithNoCase, ComparesThePrefixIgnoringCase) {
  const PrefixCase cases[] = {
      {"mailto:someone@vantorel.example", true},
      {"MAILTO:someone", true},
      {"MailTo:", true},
      {"mailto", false},
      {"https://mailto:", false},
      {"", false},
  };
  for (const PrefixCase& c : cases)
    EXPECT_EQ(StartsWithNoCase(c.text, "mailto:"), c.expected) << c.text;
}

#ifndef _WIN32
// In code page 932, "\x82\x61" is one character whose second byte is an "a".
TEST(DoubleByteText, MatchesOnlyWholeCharacters) {
  support::DoubleByteCodePage codePage;
  const RemoveCase cases[] = {
      {"\x82"
       "a",
       "a",
       "\x82"
       "a",
       false},  // a second byte is no match
      {"\x82"
       "A",
       "a",
       "\x82"
       "A",
       false},
      {"Q\x82"
       "aX",
       "\x82"
       "ax",
       "Q", true},  // whole character, case of x ignored
      {"\x82"
       "A",
       "\x82"
       "a",
       "\x82"
       "A",
       false},  // second bytes are not case-mapped
      {"a\x82"
       "a-A",
       "a",
       "\x82"
       "a-",
       true},
  };
  for (const RemoveCase& c : cases) {
    SharedString text(c.text);
    EXPECT_EQ(RemoveAllNoCase(text, c.word), c.removed) << c.text;
    EXPECT_STREQ(text.Text(), c.expected) << c.text;
  }
}
#endif

struct CommandCase {
  const char* name;
  const char* registered;
  bool ieInstalled;
  const char* expected;  // for the address "http://a/"
};

const CommandCase kCommandCases[] = {
    {"quoted %1 and what follows dropped", "\"b.exe\" \"%1\" -x", true, "\"b.exe\"  http://a/"},
    {"bare %1 and what follows dropped", "b.exe %1 -x", true, "b.exe  http://a/"},
    {"quoted %1 found before a bare one", "b.exe -y%1 \"%1\"", true, "b.exe -y%1  http://a/"},
    {"no %1: the address appended", "b.exe -window", true, "b.exe -window http://a/"},
    {"iexplore: -new in place of -nohome", "iexplore.exe -nohome \"%1\"", true,
     "iexplore.exe  -new http://a/"},
    {"iexplore: a command ending in -NoHome", "iexplore.exe -NoHome", true,
     "iexplore.exe -new http://a/"},
    {"iexplore cut before the placeholder", "iexplore.exe %1", true, "iexplore.exe -new http://a/"},
    {"iexplore without Internet Explorer", "iexplore.exe -nohome %1", false,
     "iexplore.exe -nohome  http://a/"},
    {"IEXPLORE in capitals is not iexplore", "IEXPLORE.EXE -nohome %1", true,
     "IEXPLORE.EXE -nohome  http://a/"},
};

TEST(BuildBrowserCommand, CutsTheRegisteredCommandAndAppendsTheAddress) {
  for (const CommandCase& c : kCommandCases) {
    SharedString commandLine;
    EXPECT_TRUE(BuildBrowserCommand(c.registered, "http://a/", c.ieInstalled, &commandLine))
        << c.name;
    EXPECT_STREQ(commandLine.Text(), c.expected) << c.name;
  }
}

// The command line is handed over in a buffer of kBrowserCommandSize bytes:
// what would not fit there fails, whatever the registry or the caller holds.
TEST(BuildBrowserCommand, FailsWhenTheCommandLineWouldNotFitItsBuffer) {
  const std::string program = "b.exe ";  // "b.exe" and the blank before the address
  for (int length : {kBrowserCommandSize - 1, kBrowserCommandSize, kBrowserCommandSize + 300}) {
    std::string address(static_cast<size_t>(length) - program.size(), 'p');
    SharedString commandLine("untouched");
    bool built = BuildBrowserCommand("b.exe", address.c_str(), true, &commandLine);
    EXPECT_EQ(built, length < kBrowserCommandSize) << length;
    if (built) {
      EXPECT_EQ(commandLine.Length(), length);
    } else {
      EXPECT_STREQ(commandLine.Text(), "untouched") << length;
    }
  }
}

}  // namespace
