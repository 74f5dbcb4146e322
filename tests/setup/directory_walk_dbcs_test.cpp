// The folder walk in a double-byte code page, stood in natively: the second
// byte of a character may be 0x5C, the code of "\", and must not split the
// name. (Windows builds take lead bytes from the system's code page.)
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "double_byte_code_page.h"
#include "engine/directory_path.h"

namespace {

bool OnlyDriveExists(const char* path, void* context) {
  std::string text(path);
  if (text == "C:") return true;
  static_cast<std::vector<std::string>*>(context)->push_back(text);
  return false;
}

bool Create(const char*, void*) { return true; }

TEST(DirectoryWalkDoubleByte, TrailBytesThatLookLikeSeparatorsDoNotSplitNames) {
  // "\x95\\" is one character.
  std::vector<std::string> missing;
  {
    support::DoubleByteCodePage codePage;
    EXPECT_TRUE(CreateDirectoryPathWith("C:\\\x95\\x\\",
                                        DirectoryOperations{OnlyDriveExists, Create, &missing}));
  }
  EXPECT_EQ(missing, (std::vector<std::string>{"C:\\\x95\\x", "C:\\\x95\\x\\"}));
}

// A folder path whose last byte is such a trail byte does not end in a
// separator: a file name appended to it lands in the folder above.
TEST(DirectoryWalkDoubleByte, TrailByteIsNoFinalSeparator) {
  support::DoubleByteCodePage codePage;
  EXPECT_FALSE(EndsWithSeparator("C:\\App\\\x95\\"));
  EXPECT_TRUE(EndsWithSeparator("C:\\App\\\x95\\\\"));
  EXPECT_TRUE(EndsWithSeparator("C:\\App\\"));
  EXPECT_FALSE(EndsWithSeparator(""));
}

}  // namespace
