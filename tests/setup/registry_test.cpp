// The package's registry records after an install: keys created with their
// parents, "<Destination>" filled in where data holds it, numbers stored
// under the entry's own type code, and records that cannot be written
// dropped without a word while the records after them still arrive.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

const char kAppName[] = "VT Registry";
const std::string kKey = "Software\\VantorelSetupTest\\Registry";

// A value as the test reads it back: its type and its data as text
// (numbers in decimal).
std::string ValueOf(HKEY root, const std::string& key, const char* name) {
  auto value = support::RegistryValue(root, key, name);
  if (!value) return "(missing)";
  const auto& bytes = value->bytes;
  if (value->type == REG_SZ) {
    return "text " + std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0));
  }
  if (bytes.size() != 4) {
    return "type " + std::to_string(value->type) + ", " + std::to_string(bytes.size()) + " bytes";
  }
  DWORD number;
  memcpy(&number, bytes.data(), 4);
  return "type " + std::to_string(value->type) + " " + std::to_string(number);
}

TEST(Registry, RecordsAreWrittenAsTheyAsk) {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VantorelSetupTest");
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\VantorelSetupTest");
  // No key name may be longer than 255 characters.
  const std::string uncreatable = kKey + "\\" + std::string(300, 'k') + "\\Lost";
  testpkg::TestPackage package = PackageWithoutPages(kAppName);
  package.registry[1] = {
      {kKey,
       {{REG_SZ, "=default value"},
        {REG_SZ, "Path=<Destination>\\bin;<Destination>\\lib"},
        {REG_SZ, "Lower=<destination>\\bin"},
        {REG_SZ, "Equals=a=b"},
        {REG_SZ, "<Destination>=the token in a name stays"},
        {REG_DWORD, "Flag=1"},
        {REG_DWORD, "Text=abc"},
        {REG_DWORD, "Minus=-1"},
        {REG_BINARY, "Binary= 7 and more"},
        {REG_SZ, "no equals sign"}}},
      {kKey + "\\<Destination>", {}},
      {kKey + "\\OnlyKey", {{REG_SZ, "no equals sign"}}},
      {uncreatable, {{REG_SZ, "Lost=x"}, {REG_DWORD, "LostNumber=1"}}},
      {kKey + "\\After", {{REG_SZ, "Read=correctly"}}},
  };
  package.registry[2] = {{kKey + "\\Deeper", {{REG_DWORD, "Count=42"}}}};
  SetupRun run = RunSetupToEnd(
      WriteSetup("registry", SetupFileAround(testpkg::BuildPackage(package))), "VT Registry Setup");
  ASSERT_TRUE(run.finishDialog);
  EXPECT_TRUE(run.boxes.empty()) << run.boxes.front();
  EXPECT_EQ(run.exitCode, 0u);

  const std::string destination = DefaultDestination(kAppName);
  const struct {
    HKEY root;
    std::string key;
    const char* name;
    std::string expected;
  } values[] = {
      {HKEY_CURRENT_USER, kKey, "", "text default value"},
      {HKEY_CURRENT_USER, kKey, "Path", "text " + destination + "\\bin;" + destination + "\\lib"},
      {HKEY_CURRENT_USER, kKey, "Lower", "text <destination>\\bin"},  // case-sensitive
      {HKEY_CURRENT_USER, kKey, "Equals", "text a=b"},
      {HKEY_CURRENT_USER, kKey, "<Destination>", "text the token in a name stays"},
      {HKEY_CURRENT_USER, kKey, "Flag", "type 4 1"},
      {HKEY_CURRENT_USER, kKey, "Text", "type 4 0"},
      {HKEY_CURRENT_USER, kKey, "Minus", "type 4 4294967295"},
      {HKEY_CURRENT_USER, kKey, "Binary", "type 3 7"},
      {HKEY_CURRENT_USER, kKey + "\\After", "Read", "text correctly"},
      {HKEY_LOCAL_MACHINE, kKey + "\\Deeper", "Count", "type 4 42"},
  };
  for (const auto& value : values) {
    EXPECT_EQ(ValueOf(value.root, value.key, value.name), value.expected) << value.name;
  }
  EXPECT_EQ(support::ValueCount(HKEY_CURRENT_USER, kKey), 9u)
      << "the text without \"=\" made a value";
  EXPECT_TRUE(support::KeyExists(HKEY_CURRENT_USER, kKey + "\\<Destination>"));
  EXPECT_EQ(support::ValueCount(HKEY_CURRENT_USER, kKey + "\\OnlyKey"), 0u);
  EXPECT_FALSE(support::KeyExists(HKEY_CURRENT_USER, uncreatable));
}

}  // namespace
