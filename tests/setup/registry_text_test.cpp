// From a registry record's "name=data" text to the value that is stored.
#include "engine/registry_text.h"

#include <gtest/gtest.h>

namespace {

TEST(RegistryText, SplitsAtTheFirstEquals) {
  const struct {
    const char* text;
    bool split;
    const char* name;
    const char* data;
  } cases[] = {
      {"Path=C:\\x", true, "Path", "C:\\x"}, {"=x", true, "", "x"},  // the key's default value
      {"a=b=c", true, "a", "b=c"},           {"Name=", true, "Name", ""},
      {"NoEquals", false, "", ""},           {"", false, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    SharedString name;
    SharedString data;
    ASSERT_EQ(SplitValueText(c.text, name, data), c.split);
    if (!c.split) continue;
    EXPECT_STREQ(name.Text(), c.name);
    EXPECT_STREQ(data.Text(), c.data);
  }
}

TEST(RegistryText, DestinationTokenIsFilledCaseSensitively) {
  const struct {
    const char* data;
    const char* filled;
  } cases[] = {
      {"<Destination>\\bin", "D:\\Apps\\Tool\\bin"},
      {"<destination>\\bin", "<destination>\\bin"},
      {"<Destination>;<Destination>", "D:\\Apps\\Tool;D:\\Apps\\Tool"},
      {"no token", "no token"},
  };
  for (const auto& c : cases) {
    SharedString data(c.data);
    FillDestination(data, "D:\\Apps\\Tool");
    EXPECT_STREQ(data.Text(), c.filled) << c.data;
  }
  // A destination that holds the token itself is not filled again.
  SharedString data("<Destination>");
  FillDestination(data, "<Destination>x");
  EXPECT_STREQ(data.Text(), "<Destination>x");
}

TEST(RegistryText, NumbersAreSignedDecimalKeptTo32Bits) {
  const struct {
    const char* text;
    uint32_t value;
  } cases[] = {
      {"1", 1},
      {"abc", 0},
      {"-1", 0xFFFFFFFFu},
      {"  \t42xyz", 42},
      {"+7", 7},
      {"", 0},
      {"-", 0},
      {"4294967295", 0xFFFFFFFFu},
      {"4294967296", 0},  // wraps instead of overflowing
      {"-2147483648", 0x80000000u},
      {"99999999999999999999", 0x630FFFFFu},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseRegistryNumber(c.text), c.value) << c.text;
}

}  // namespace
