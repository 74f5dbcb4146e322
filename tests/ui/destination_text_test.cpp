// The destination page's rule for a typed folder: one trailing backslash
// goes. Double-byte text is stood in natively.
#include <gtest/gtest.h>

#include "base/shared_string.h"
#include "double_byte_code_page.h"
#include "ui/destination_text.h"

namespace {

struct FolderCase {
  const char* typed;
  const char* stored;
};

void ExpectStored(const FolderCase& c) {
  SharedString folder(c.typed);
  RemoveTrailingBackslash(folder);
  EXPECT_STREQ(folder.Text(), c.stored) << c.typed;
}

TEST(RemoveTrailingBackslash, RemovesOneBackslashFromTheEnd) {
  const FolderCase cases[] = {
      {"C:\\App\\", "C:\\App"},
      {"C:\\App\\\\", "C:\\App\\"},
      {"C:\\App", "C:\\App"},
      {"C:\\", "C:"},
      {"\\", ""},
      {"", ""},
  };
  for (const FolderCase& c : cases) ExpectStored(c);
}

#ifndef _WIN32
// In code page 932, "\x95\x5C" is one character whose second byte is a
// backslash.
TEST(RemoveTrailingBackslash, KeepsTheSecondByteOfADoubleByteCharacter) {
  support::DoubleByteCodePage codePage;
  const FolderCase cases[] = {
      {"C:\\\x95\x5C", "C:\\\x95\x5C"},
      {"C:\\\x95\x5C\\", "C:\\\x95\x5C"},
      {"\x95\x5C\x5C", "\x95\x5C"},
  };
  for (const FolderCase& c : cases) ExpectStored(c);
}
#endif

}  // namespace
