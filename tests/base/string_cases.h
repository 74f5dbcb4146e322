// What the string tests share: the block behind a string, every kind of
// write to a string, and the shape of a replace-all case.
#ifndef VANTOREL_TESTS_BASE_STRING_CASES_H
#define VANTOREL_TESTS_BASE_STRING_CASES_H

#include <string.h>

#include <gtest/gtest.h>

#include "base/shared_string.h"
#include "base/shared_string_block.h"

// The header of the block that `s` holds.
inline const StringHeader* BlockOf(const SharedString& s) {
  return string_block::HeaderOf(s.Text());
}

// Each changes the characters of a string that holds "original".
struct StringWrite {
  const char* name;
  void (*apply)(SharedString&);
};

inline const StringWrite kStringWrites[] = {
    {"assign text", [](SharedString& s) { s = "other"; }},
    {"append text", [](SharedString& s) { s += "!"; }},
    {"append character", [](SharedString& s) { s += 'x'; }},
    {"replace", [](SharedString& s) { s.ReplaceAll("ri", "RI"); }},
    {"format", [](SharedString& s) { FormatString(s, "%d", 7); }},
    {"buffer",
     [](SharedString& s) {
       strcpy(s.GetBuffer(20), "written");
       s.ReleaseBuffer();
     }},
    {"buffer of length", [](SharedString& s) { memset(s.GetBufferOfLength(3), 'z', 3); }},
};

struct ReplaceCase {
  const char* text;
  const char* from;
  const char* to;
  int count;
  const char* expected;
};

inline void ExpectReplaced(const ReplaceCase& c) {
  SharedString s(c.text);
  EXPECT_EQ(s.ReplaceAll(c.from, c.to), c.count) << c.text << " / " << (c.from ? c.from : "null");
  EXPECT_STREQ(s.Text(), c.expected) << c.text;
  EXPECT_EQ(s.Length(), static_cast<int>(strlen(c.expected))) << c.text;
}

#endif
