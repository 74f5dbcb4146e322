// FormatString: the first buffer of 1024 characters, doubling, sharing.
#include <string>

#include <gtest/gtest.h>

#include "base/shared_string.h"
#include "string_cases.h"

namespace {

TEST(FormatString, ArgumentsOfTheProgram) {
  SharedString s;
  FormatString(s, "Unable to open the file '%s'.", "C:\\Program Files\\App\\app.exe");
  EXPECT_STREQ(s.Text(), "Unable to open the file 'C:\\Program Files\\App\\app.exe'.");
  FormatString(s, "%s Setup", "Demo");
  EXPECT_STREQ(s.Text(), "Demo Setup");
  EXPECT_EQ(s.Length(), 10);
  FormatString(s, "%d|%d", -2147483647 - 1, 42);
  EXPECT_STREQ(s.Text(), "-2147483648|42");
}

TEST(FormatString, CapacityByOutputLength) {
  struct Case {
    int length;
    int capacity;
  };
  const Case cases[] = {{0, 1024},    {1023, 1024}, {1024, 2048},
                        {2047, 2048}, {2048, 4096}, {5000, 8192}};
  for (const Case& c : cases) {
    std::string argument(static_cast<size_t>(c.length), 'x');
    if (c.length > 1) argument.front() = '[', argument.back() = ']';
    SharedString s;
    FormatString(s, "%s", argument.c_str());
    EXPECT_EQ(s.Length(), c.length) << c.length;
    EXPECT_EQ(BlockOf(s)->capacity, c.capacity) << c.length;
    EXPECT_EQ(std::string(s.Text()), argument) << c.length;
    EXPECT_EQ(s.Text()[c.length], '\0');
  }
}

TEST(FormatString, SharedTargetLeavesTheOtherString) {
  SharedString s;
  FormatString(s, "%s", "shared text");
  SharedString other(s);
  FormatString(s, "%d", 5);
  EXPECT_STREQ(s.Text(), "5");
  EXPECT_STREQ(other.Text(), "shared text");
  EXPECT_EQ(BlockOf(other)->referenceCount, 1);
}

TEST(FormatString, ArgumentMayBeTheTargetsOwnText) {
  SharedString caption("Demo");
  FormatString(caption, "%s Setup", caption.Text());  // a block too small: replaced
  EXPECT_STREQ(caption.Text(), "Demo Setup");
  FormatString(caption, "%s, %s", caption.Text(), caption.Text());  // a block large enough
  EXPECT_STREQ(caption.Text(), "Demo Setup, Demo Setup");
  SharedString shared(caption);
  FormatString(caption, "[%s]", shared.Text());
  EXPECT_STREQ(caption.Text(), "[Demo Setup, Demo Setup]");
  EXPECT_STREQ(shared.Text(), "Demo Setup, Demo Setup");
}

}  // namespace
