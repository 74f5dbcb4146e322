// SharedString: sharing, copy on write and the static empty block.
#include "base/shared_string.h"

#include <string.h>

#include <gtest/gtest.h>

#include "string_cases.h"

namespace {

int CountOf(const SharedString& s) { return BlockOf(s)->referenceCount; }
int CapacityOf(const SharedString& s) { return BlockOf(s)->capacity; }

TEST(SharedStringEmpty, EveryEmptyStringIsTheStaticBlock) {
  SharedString made;
  SharedString fromNull(static_cast<const char*>(nullptr));
  SharedString fromId(reinterpret_cast<const char*>(static_cast<unsigned long long>(42)));
  SharedString fromEmptyText("");
  EXPECT_EQ(BlockOf(made), BlockOf(fromNull));
  EXPECT_EQ(BlockOf(made), BlockOf(fromId));
  EXPECT_EQ(BlockOf(made), BlockOf(fromEmptyText));
  EXPECT_EQ(CountOf(made), -1);
  EXPECT_EQ(made.Length(), 0);
  EXPECT_STREQ(made.Text(), "");
}

TEST(SharedStringEmpty, AppendToCopyOfEmptyLeavesBothTheOriginalAndTheBlock) {
  SharedString empty;
  SharedString copy(empty);
  EXPECT_EQ(CountOf(empty), -1);
  copy += "x";
  EXPECT_STREQ(copy.Text(), "x");
  EXPECT_STREQ(empty.Text(), "");
  EXPECT_EQ(CountOf(empty), -1);
  SharedString assigned;
  assigned = empty;
  assigned += 'y';
  EXPECT_EQ(CountOf(empty), -1);
  EXPECT_EQ(empty.Length(), 0);
}

TEST(SharedStringEmpty, BufferOfEmptyStringIsNeverTheStaticBlock) {
  SharedString empty;
  SharedString s;
  char* buffer = s.GetBuffer(0);
  EXPECT_NE(buffer, empty.Text());
  buffer[0] = '\0';
  s.ReleaseBuffer();
  s.ReleaseBuffer(0);
  EXPECT_EQ(CountOf(empty), -1);
  EXPECT_STREQ(empty.Text(), "");
}

TEST(SharedStringCopy, CopySharesUntilWritten) {
  SharedString a("a");
  SharedString b(a);
  EXPECT_EQ(a.Text(), b.Text());
  EXPECT_EQ(CountOf(a), 2);
  b += 'b';
  EXPECT_STREQ(b.Text(), "ab");
  EXPECT_STREQ(a.Text(), "a");
  EXPECT_EQ(CountOf(a), 1);
  EXPECT_EQ(CountOf(b), 1);
}

TEST(SharedStringCopy, EveryWriteOfASharedBlockLeavesTheOtherCopy) {
  for (const StringWrite& write : kStringWrites) {
    SharedString original("original");
    SharedString copy(original);
    write.apply(copy);
    EXPECT_STREQ(original.Text(), "original") << write.name;
    EXPECT_EQ(CountOf(original), 1) << write.name;
    EXPECT_STRNE(copy.Text(), "original") << write.name;
  }
}

TEST(SharedStringAssign, EmptyAssignmentKeepsAnUnsharedBlock) {
  SharedString s("some text");
  const StringHeader* block = BlockOf(s);
  s = "";
  EXPECT_EQ(BlockOf(s), block);
  EXPECT_EQ(s.Length(), 0);
  EXPECT_EQ(CapacityOf(s), 9);
  SharedString empty;
  s = empty;
  EXPECT_EQ(BlockOf(s), block);
  s = "short";  // fits: the block stays
  EXPECT_EQ(BlockOf(s), block);
  EXPECT_STREQ(s.Text(), "short");
}

TEST(SharedStringAssign, SharingAssignmentReleasesTheOldBlock) {
  SharedString a("first");
  SharedString b("second");
  b = a;
  EXPECT_EQ(a.Text(), b.Text());
  EXPECT_EQ(CountOf(a), 2);
  b = b;  // self-assignment changes nothing
  EXPECT_EQ(CountOf(a), 2);
}

TEST(SharedStringAssign, TextFromTheStringItself) {
  SharedString s("C:\\Program Files\\App");
  s = s.Text() + 3;
  EXPECT_STREQ(s.Text(), "Program Files\\App");
  SharedString shared(s);
  s = s.Text() + 8;  // s's block is shared: a new block is filled first
  EXPECT_STREQ(s.Text(), "Files\\App");
  EXPECT_STREQ(shared.Text(), "Program Files\\App");
}

TEST(SharedStringAppend, AppendSizesExactlyAndAppendsItself) {
  SharedString s("ab");
  s += "cd";
  EXPECT_EQ(CapacityOf(s), 4);
  s += s;
  EXPECT_STREQ(s.Text(), "abcdabcd");
  EXPECT_EQ(CapacityOf(s), 8);
  s += "";
  s += static_cast<const char*>(nullptr);
  EXPECT_EQ(s.Length(), 8);
}

TEST(SharedStringAppend, AppendUsesSpareCapacityInPlace) {
  SharedString s;
  strcpy(s.GetBuffer(10), "dir");
  s.ReleaseBuffer();
  const StringHeader* block = BlockOf(s);
  s += "\\file";
  EXPECT_EQ(BlockOf(s), block);
  EXPECT_STREQ(s.Text(), "dir\\file");
}

TEST(SharedStringConcatenate, OperandsStayAndResultIsExact) {
  const SharedString dir("C:\\App");
  SharedString path = dir + "\\";
  path = path + "Uninst.log";
  EXPECT_STREQ(path.Text(), "C:\\App\\Uninst.log");
  EXPECT_EQ(CapacityOf(path), path.Length());
  EXPECT_STREQ(dir.Text(), "C:\\App");
  EXPECT_STREQ((dir + '!').Text(), "C:\\App!");
  EXPECT_STREQ(('>' + dir).Text(), ">C:\\App");
  SharedString none = SharedString() + "";
  EXPECT_EQ(CountOf(none), -1);
}

TEST(SharedStringMiddle, ClampsAndShares) {
  struct Case {
    int first, count;
    const char* expected;
  };
  const Case cases[] = {
      {3, 100, "def"}, {10, 2, ""}, {0, 6, "abcdef"},
      {-5, 2, "ab"},   {2, -1, ""}, {6, 1, ""},
      {5, 1, "f"},     {0, 0, ""},  {1, 2147483647, "bcdef"},
  };
  const SharedString s("abcdef");
  for (const Case& c : cases) {
    SharedString part = s.Middle(c.first, c.count);
    EXPECT_STREQ(part.Text(), c.expected) << c.first << "," << c.count;
    EXPECT_EQ(part.Length(), static_cast<int>(strlen(c.expected)));
  }
  SharedString whole = s.Middle(0, 6);
  EXPECT_EQ(whole.Text(), s.Text());
  EXPECT_EQ(CountOf(s), 2);
  EXPECT_EQ(CountOf(s.Middle(10, 2)), -1);
}

TEST(SharedStringMiddle, SplitsNameAndValue) {
  SharedString record("Path=<Destination>\\bin");
  int i = static_cast<int>(strchr(record.Text(), '=') - record.Text());
  ASSERT_EQ(i, 4);
  EXPECT_STREQ(record.Middle(0, i).Text(), "Path");
  EXPECT_STREQ(record.Middle(i + 1, record.Length() - i - 1).Text(), "<Destination>\\bin");
}

TEST(SharedStringBuffer, GetBufferKeepsTextAndReleaseMeasures) {
  SharedString s("abc");
  char* buffer = s.GetBuffer(100);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(s.Length(), 3);
  EXPECT_GE(CapacityOf(s), 100);
  strcpy(buffer, "C:\\Windows");
  s.ReleaseBuffer();
  EXPECT_EQ(s.Length(), 10);
  EXPECT_STREQ(s.Text(), "C:\\Windows");
  s.ReleaseBuffer(2);
  EXPECT_STREQ(s.Text(), "C:");
}

TEST(SharedStringBuffer, SmallerRequestKeepsTheBlock) {
  SharedString s("abcdef");
  const StringHeader* block = BlockOf(s);
  EXPECT_EQ(s.GetBuffer(3), s.Text());
  EXPECT_EQ(BlockOf(s), block);
  EXPECT_EQ(s.Length(), 6);
  s.ReleaseBuffer();
  EXPECT_STREQ(s.Text(), "abcdef");
}

TEST(SharedStringBuffer, ReleaseNeverReadsOrCutsBeyondTheBuffer) {
  SharedString s;
  char* buffer = s.GetBuffer(4);
  memset(buffer, 'x', 5);  // a careless writer overwrote the terminator
  s.ReleaseBuffer();
  EXPECT_EQ(s.Length(), 4);
  EXPECT_STREQ(s.Text(), "xxxx");
  s.ReleaseBuffer(1000);
  EXPECT_EQ(s.Length(), 4);
}

TEST(SharedStringBuffer, BufferOfLengthSetsTheLengthAtOnce) {
  SharedString s("old");
  SharedString copy(s);
  char* buffer = s.GetBufferOfLength(5);
  EXPECT_EQ(s.Length(), 5);
  EXPECT_EQ(buffer[5], '\0');
  memcpy(buffer, "fresh", 5);
  EXPECT_STREQ(s.Text(), "fresh");
  EXPECT_STREQ(copy.Text(), "old");
}

}  // namespace
