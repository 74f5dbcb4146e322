// Where the program-files directory comes from: the registry values of
// HKEY_LOCAL_MACHINE\...\CurrentVersion, read by this process with its
// HKEY_LOCAL_MACHINE mapped to a key of the test's own, so every case can
// set them without touching the prefix's machine settings.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "engine/system_folders.h"

namespace {

const char kMachine[] = "Software\\VantorelTest\\Machine";
const char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";

struct Value {
  const char* name;
  DWORD type;
  std::string data;
};

struct ProgramFilesCase {
  const char* name;
  bool keyExists;
  std::vector<Value> values;
  const char* expected;
};

// Expands to more than the 260 characters a path may have.
const std::string kLongVariable = "%VT_LONG_FOLDER%\\Programs";
const std::string kShortVariable = "%VT_SHORT_FOLDER%\\Programs";

const ProgramFilesCase kCases[] = {
    {"only ProgramFilesDir", true, {{"ProgramFilesDir", REG_SZ, "D:\\Apps"}}, "D:\\Apps"},
    {"ProgramFilesPath expanded first",
     true,
     {{"ProgramFilesPath", REG_EXPAND_SZ, kShortVariable}, {"ProgramFilesDir", REG_SZ, "D:\\Apps"}},
     "E:\\Short\\Programs"},
    {"ProgramFilesPath too long once expanded",
     true,
     {{"ProgramFilesPath", REG_EXPAND_SZ, kLongVariable}, {"ProgramFilesDir", REG_SZ, "D:\\Apps"}},
     "D:\\Apps"},
    {"ProgramFilesPath not text",
     true,
     {{"ProgramFilesPath", REG_DWORD, "1234"}, {"ProgramFilesDir", REG_SZ, "D:\\Apps"}},
     "D:\\Apps"},
    {"neither value", true, {}, "C:\\Program Files"},
    {"no key", false, {}, "C:\\Program Files"},
};

class ProgramFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kMachine);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kMachine, &machine_), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_), ERROR_SUCCESS);
    SetEnvironmentVariableA("VT_LONG_FOLDER", ("E:\\" + std::string(270, 'x')).c_str());
    SetEnvironmentVariableA("VT_SHORT_FOLDER", "E:\\Short");
  }
  void TearDown() override {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(machine_);
    RegDeleteTreeA(HKEY_CURRENT_USER, kMachine);
  }
  HKEY machine_ = nullptr;
};

TEST_F(ProgramFilesTest, RegistryValuesInOrderThenTheFallback) {
  for (const ProgramFilesCase& c : kCases) {
    SCOPED_TRACE(c.name);
    RegDeleteTreeA(machine_, "Software");
    if (c.keyExists) {
      HKEY key;
      ASSERT_EQ(RegCreateKeyA(machine_, kCurrentVersion, &key), ERROR_SUCCESS);
      for (const Value& value : c.values) {
        DWORD number = strtoul(value.data.c_str(), nullptr, 10);
        const BYTE* data = value.type == REG_DWORD
                               ? reinterpret_cast<const BYTE*>(&number)
                               : reinterpret_cast<const BYTE*>(value.data.c_str());
        DWORD size = value.type == REG_DWORD ? sizeof number : DWORD(value.data.size() + 1);
        ASSERT_EQ(RegSetValueExA(key, value.name, 0, value.type, data, size), ERROR_SUCCESS);
      }
      RegCloseKey(key);
    }
    EXPECT_STREQ(GetProgramFilesDirectory().Text(), c.expected);
  }
}

}  // namespace
