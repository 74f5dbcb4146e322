// Text in a double-byte code page (932): searches never start a match on a
// trail byte, and lead bytes are never case-mapped. Natively the lead bytes
// of 932 are stood in; under Wine the test runs in a Japanese locale.
#include <string.h>

#include <gtest/gtest.h>

#include "base/compare_no_case.h"
#include "base/path_list.h"
#include "base/platform.h"
#include "base/shared_string.h"
#include "double_byte_code_page.h"
#include "string_cases.h"

namespace {

// Code page 932 for every test here.
class DoubleByte : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(codePage_.Active()) << "run with LC_ALL=ja_JP.UTF-8"; }
  support::DoubleByteCodePage codePage_;
};

TEST_F(DoubleByte, LeadBytesOfTheCodePage) {
  for (unsigned char c : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(platform::IsLeadByte(c)) << int(c);
  for (unsigned char c : {0x00, 0x41, 0x5C, 0x80, 0xA0, 0xDF})
    EXPECT_FALSE(platform::IsLeadByte(c)) << int(c);
}

TEST_F(DoubleByte, ReplaceNeverStartsOnATrailByte) {
  const ReplaceCase cases[] = {
      // "\x95\x5C" is one character whose trail byte is a backslash.
      {"C:\\\x95\x5C\\app", "\\", "/", 2, "C:/\x95\x5C/app"},
      // Trail bytes that look like letters.
      {"\x81"
       "AA\x81\x81"
       "A",
       "A", "b", 2,
       "\x81"
       "Ab\x81\x81"
       "b"},
      // A whole double-byte character is found where it starts.
      {"x\x95\x5C\x95\x5C", "\x95\x5C", "<>", 2, "x<><>"},
      {"\x95\x95\x5C", "\x95\x5C", "!", 0, "\x95\x95\x5C"},  // the second 0x95 is a trail byte
  };
  for (const ReplaceCase& c : cases) ExpectReplaced(c);
}

TEST_F(DoubleByte, LeadByteBeforeNulIsACharacterOfItsOwn) {
  SharedString s;
  memcpy(s.GetBufferOfLength(4), "\x81\0\\x", 4);
  EXPECT_EQ(s.ReplaceAll("\\", "/"), 1);
  EXPECT_EQ(memcmp(s.Text(), "\x81\0/x", 5), 0);
}

TEST_F(DoubleByte, LeadBytesAreNotCaseMapped) {
  for (unsigned char c : {0x81, 0x82, 0xE0}) EXPECT_EQ(platform::ToUpper(c), c);
  EXPECT_EQ(platform::ToUpper('a'), 'A');
}

// A list of paths is searched as paths are compared: letter case aside,
// except in the trail byte of a double-byte character.
TEST_F(DoubleByte, PathListsCompareAsPathsDo) {
  SharedString list;
  for (const char* path : {"C:\\App\\Readme.TXT",
                           "C:\\App\\\x95\x5C"
                           "b",
                           "C:\\\x81"
                           "a"}) {
    AppendPath(list, path);
  }
  const struct {
    const char* path;
    bool held;
  } cases[] = {
      {"c:\\app\\readme.txt", true},
      {"C:\\App\\Readme.TXA", false},
      {"C:\\App\\Readme.TX", false},
      {"c:\\APP\\\x95\x5C"
       "B",
       true},
      {"C:\\\x81"
       "a",
       true},
      {"C:\\\x81"
       "A",
       false},  // "A" is the trail byte here
  };
  for (const auto& c : cases) EXPECT_EQ(ListHoldsPath(list, c.path), c.held) << c.path;
  // Paths that compare equal hash alike; a trail byte's case counts.
  EXPECT_EQ(HashNoCase("c:\\app\\readme.txt"), HashNoCase("C:\\App\\Readme.TXT"));
  EXPECT_EQ(HashNoCase("c:\\APP\\\x95\x5C"
                       "b"),
            HashNoCase("C:\\App\\\x95\x5C"
                       "B"));
  EXPECT_NE(HashNoCase("C:\\\x81"
                       "a"),
            HashNoCase("C:\\\x81"
                       "A"));
}

}  // namespace
