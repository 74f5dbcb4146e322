// The package's registry records after an install: keys created with their
// parents, text values with the destination filled in, numbers as DWORDs.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

const char kKey[] = "Software\\VantorelSetupTest\\Registry";

std::string TextValue(HKEY root, const char* key, const char* name) {
  char buffer[1024] = {};
  DWORD size = sizeof buffer;
  DWORD type = 0;
  if (RegGetValueA(root, key, name, RRF_RT_ANY, &type, buffer, &size) != ERROR_SUCCESS) return "(missing)";
  if (type != REG_SZ) return "(type " + std::to_string(type) + ")";
  return buffer;
}

std::string NumberValue(HKEY root, const char* key, const char* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = 0;
  if (RegGetValueA(root, key, name, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS) return "(missing)";
  if (type != REG_DWORD) return "(type " + std::to_string(type) + ")";
  return std::to_string(value);
}

TEST(Registry, RecordsAreWrittenWithTheDestinationFilledIn) {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VantorelSetupTest");
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\VantorelSetupTest");
  robot::Program setup = StartSetup(PackagePath("registry"));
  HWND finish = WaitForFinishDialog(setup, "VT Registry Setup");
  ASSERT_NE(finish, nullptr);
  robot::Click(robot::ChildById(finish, 3));
  ASSERT_EQ(robot::WaitForExit(setup), 0u);

  const std::string destination = DefaultDestination("VT Registry");
  const struct {
    const char* name;
    std::string expected;
  } texts[] = {
      {"", "default value"},
      {"Path", destination + "\\bin;" + destination + "\\lib"},
      {"Lower", "<destination>\\bin"},  // the token is case-sensitive
      {"Equals", "a=b"},
  };
  for (const auto& text : texts) {
    EXPECT_EQ(TextValue(HKEY_CURRENT_USER, kKey, text.name), text.expected) << text.name;
  }
  EXPECT_EQ(NumberValue(HKEY_CURRENT_USER, kKey, "Flag"), "1");
  EXPECT_EQ(NumberValue(HKEY_CURRENT_USER, kKey, "Minus"), "4294967295");
  EXPECT_EQ(NumberValue(HKEY_LOCAL_MACHINE, "Software\\VantorelSetupTest\\Registry\\Deeper", "Count"),
            "42");
}

}  // namespace
