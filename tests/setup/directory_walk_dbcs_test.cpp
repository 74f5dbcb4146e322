// The folder walk in a double-byte code page, stood in natively: the second
// byte of a character may be 0x5C, the code of "\", and must not split the
// name. (Windows builds take lead bytes from the system's code page.)
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/platform.h"
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
  // Shift-JIS-like lead bytes; "\x95\\" is one character.
  platform::SetLeadBytePredicate([](unsigned char c) { return c >= 0x81 && c <= 0x9F; });
  std::vector<std::string> missing;
  EXPECT_TRUE(CreateDirectoryPathWith("C:\\\x95\\x\\", DirectoryOperations{OnlyDriveExists, Create, &missing}));
  platform::SetLeadBytePredicate(nullptr);
  EXPECT_EQ(missing, (std::vector<std::string>{"C:\\\x95\\x", "C:\\\x95\\x\\"}));
}

// A folder path whose last byte is such a trail byte does not end in a
// separator: a file name appended to it lands in the folder above.
TEST(DirectoryWalkDoubleByte, TrailByteIsNoFinalSeparator) {
  platform::SetLeadBytePredicate([](unsigned char c) { return c >= 0x81 && c <= 0x9F; });
  EXPECT_FALSE(EndsWithSeparator("C:\\App\\\x95\\"));
  EXPECT_TRUE(EndsWithSeparator("C:\\App\\\x95\\\\"));
  EXPECT_TRUE(EndsWithSeparator("C:\\App\\"));
  EXPECT_FALSE(EndsWithSeparator(""));
  platform::SetLeadBytePredicate(nullptr);
}

}  // namespace
