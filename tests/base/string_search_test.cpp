// SharedString's replace-all.
#include <string.h>

#include <gtest/gtest.h>

#include "base/platform.h"
#include "base/shared_string.h"
#include "string_cases.h"

namespace {

TEST(ReplaceAll, Table) {
  const ReplaceCase cases[] = {
      {"X<Destination>Y", "<Destination>", "C:\\A", 1, "XC:\\AY"},
      {"aaaa", "aa", "a", 2, "aa"},
      {"aaaa", "a", "aa", 4, "aaaaaaaa"},
      {"a.b.c", ".", "", 2, "abc"},
      {"a.b.c", ".", nullptr, 2, "abc"},
      {"abc", "", "x", 0, "abc"},
      {"abc", nullptr, "x", 0, "abc"},
      {"abc", "d", "x", 0, "abc"},
      {"", "a", "b", 0, ""},
      {"<D><D>", "<D>", "<D><D>", 2, "<D><D><D><D>"},  // inserted text is not searched again
      {"abcabc", "abc", "abc", 2, "abcabc"},
      {"ABC", "abc", "x", 0, "ABC"},  // case-sensitive
  };
  for (const ReplaceCase& c : cases) ExpectReplaced(c);
}

TEST(ReplaceAll, GrowsTheBlockOnceAndLeavesCopies) {
  SharedString s("A=<Destination>;B=<Destination>");
  SharedString copy(s);
  const char* path = "C:\\Program Files\\Some Application";
  EXPECT_EQ(s.ReplaceAll("<Destination>", path), 2);
  int expectedLength = 31 + 2 * (static_cast<int>(strlen(path)) - 13);
  EXPECT_EQ(s.Length(), expectedLength);
  EXPECT_EQ(BlockOf(s)->capacity, expectedLength);  // one block of the new length
  EXPECT_EQ(BlockOf(s)->referenceCount, 1);
  EXPECT_STREQ(copy.Text(), "A=<Destination>;B=<Destination>");
}

TEST(ReplaceAll, ShrinksInPlace) {
  SharedString s("x<Destination>y");
  const StringHeader* block = BlockOf(s);
  EXPECT_EQ(s.ReplaceAll("<Destination>", "C:"), 1);
  EXPECT_EQ(BlockOf(s), block);
  EXPECT_STREQ(s.Text(), "xC:y");
}

TEST(ReplaceAll, ArgumentsFromTheStringItself) {
  SharedString s("ab");
  EXPECT_EQ(s.ReplaceAll("a", s.Text()), 1);  // the replacement is the old text
  EXPECT_STREQ(s.Text(), "abb");
  EXPECT_EQ(s.ReplaceAll(s.Text() + 2, "c"), 2);
  EXPECT_STREQ(s.Text(), "acc");
}

TEST(ReplaceAll, SearchesEachNulTerminatedPiece) {
  SharedString s;
  memcpy(s.GetBufferOfLength(7), "ab\0ab\0a", 7);
  EXPECT_EQ(s.ReplaceAll("ab", "xyz"), 2);
  ASSERT_EQ(s.Length(), 9);
  EXPECT_EQ(memcmp(s.Text(), "xyz\0xyz\0a", 10), 0);
}

TEST(ReplaceAllSingleByte, TrailByteValuesAreOrdinaryCharacters) {
  SharedString s(
      "A\x81\x5C"
      "B");
  EXPECT_EQ(s.ReplaceAll("\\", "/"), 1);
  EXPECT_STREQ(s.Text(), "A\x81/B");
}

}  // namespace
