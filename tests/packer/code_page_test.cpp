// Converting the project file's UTF-8 into Windows code pages.
#include "packer/project/code_page.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "packer/file_io.h"
#include "packer/setup_file/gather.h"

using namespace packer;

TEST(CodePage, Conversions) {
  const struct {
    int codePage;
    const char* utf8;
    const char* bytes;  // null: not representable
  } table[] = {
      {1252, "plain", "plain"},
      {1252, "caf\xC3\xA9", "caf\xE9"},
      {1252, "\xE2\x82\xAC", "\x80"},                         // the euro sign
      {1252, "\xE6\x97\xA5", nullptr},                        // a CJK character
      {1252, "\xCE\xA9", nullptr},                            // Greek capital omega
      {1252, "bad \xC3", nullptr},                            // cut UTF-8 sequence
      {1252, "bad \xFF", nullptr},                            // not UTF-8 at all
      {1251, "\xD0\x96", "\xC6"},                             // Cyrillic Zhe
      {932, "\xE6\x97\xA5\xE6\x9C\xAC", "\x93\xFA\x96\x7B"},  // "Japan", two bytes each
  };
  for (const auto& row : table) {
    auto converted = Utf8ToCodePage(row.utf8, row.codePage);
    ASSERT_EQ(converted.has_value(), row.bytes != nullptr) << row.utf8 << " in " << row.codePage;
    if (converted) {
      EXPECT_EQ(*converted, row.bytes);
    }
  }
}

TEST(CodePage, BackForDisplay) {
  EXPECT_EQ(CodePageToUtf8("caf\xE9", 1252), "caf\xC3\xA9");
  EXPECT_EQ(CodePageToUtf8("a\x81"
                           "b",
                           1252),
            "a?b");  // 0x81 is undefined in 1252
}

TEST(LicenceText, LineBreaksBecomeCrLf) {
  const struct {
    const char* file;
    const char* text;  // null: refused
  } table[] = {
      {"", ""},
      {"one line", "one line"},
      {"a\nb", "a\r\nb"},
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {"a\rb", "a\r\nb"},
      {"a\n\nb", "a\r\n\r\nb"},
      {"a\r\r\nb", "a\r\n\r\nb"},
      {"\xEF\xBB\xBFwith mark", "with mark"},
      {"\xC2\xA9 2024", "\xA9 2024"},
      {"ok\n\xE6\x97\xA5", nullptr},
  };
  for (const auto& row : table) {
    std::string file = row.file;
    auto text = ConvertLicenceText(Bytes(file.begin(), file.end()), 1252);
    ASSERT_EQ(text.ok(), row.text != nullptr) << row.file;
    if (text.ok()) {
      EXPECT_EQ(text.value(), row.text);
    }
  }
}

TEST(LicenceText, FaultsNameTheLine) {
  std::string file = "first\nsecond\nthird \xE6\x97\xA5\n";
  auto text = ConvertLicenceText(Bytes(file.begin(), file.end()), 1252);
  ASSERT_FALSE(text.ok());
  EXPECT_EQ(text.problem().message, "line 3 has a character that is not in code page 1252");
  std::string nul("a\nb\0c", 5);
  auto withNul = ConvertLicenceText(Bytes(nul.begin(), nul.end()), 1252);
  ASSERT_FALSE(withNul.ok());
  EXPECT_EQ(withNul.problem().message, "line 2 contains a NUL character");
}

TEST(CodePage, OnlyWindowsAnsiCodePages) {
  for (int codePage : {874, 932, 936, 949, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258})
    EXPECT_TRUE(IsWindowsAnsiCodePage(codePage)) << codePage;
  for (int codePage : {500, 437, 850, 65001, 1200, 20127, 99999})
    EXPECT_FALSE(IsWindowsAnsiCodePage(codePage)) << codePage;
}

TEST(CodePage, LeadBytesOfTheDoubleByteCodePages) {
  EXPECT_TRUE(IsLeadByte(932, 0x81));
  EXPECT_TRUE(IsLeadByte(932, 0x95));
  EXPECT_FALSE(IsLeadByte(932, 0xA1));  // half-width katakana: one byte
  EXPECT_TRUE(IsLeadByte(932, 0xFC));
  EXPECT_TRUE(IsLeadByte(936, 0xA1));
  EXPECT_FALSE(IsLeadByte(1252, 0x95));
  EXPECT_EQ(CharacterLength("\x95\x5C", 0, 932), 2u);
  EXPECT_EQ(CharacterLength("\x95", 0, 932), 1u);  // cut: no trail byte
}

// A file that grows after it was opened is read with the size it had then.
TEST(InputFileTest, ReadsTheSizeItHadWhenOpened) {
  std::string path = ::testing::TempDir() + "vt-growing-file";
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs("0123456789", f);
    std::fclose(f);
  }
  auto file = InputFile::Open(path);
  ASSERT_TRUE(file.ok());
  {
    std::FILE* f = std::fopen(path.c_str(), "ab");
    for (int i = 0; i < 10000; ++i) std::fputs("grown", f);
    std::fclose(f);
  }
  Bytes bytes;
  ASSERT_FALSE(file.value().ReadInto(bytes).has_value());
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123456789");
  std::remove(path.c_str());
}
