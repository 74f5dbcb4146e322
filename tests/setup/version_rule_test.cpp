// The version rule at work: files installed over copies of a program with
// version 2.0.0.0 and of one without a version resource. A file that stays
// must not shift the data of the files after it.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

struct VersionCase {
  const char* name;          // installed file name (projects/version-rule.toml)
  const char* existing;      // input copied there first; null: no file
  const char* packageInput;  // the bytes of its record
  bool keepsExisting;
};

// Record versions are in the project file; the existing copies are
// versioned.exe (2.0.0.0) and plain.exe (no version resource).
const VersionCase kCases[] = {
    {"older.exe", "versioned.exe", "data-1.bin", true},            // 1.9.9.9
    {"equal.exe", "versioned.exe", "data-2.bin", true},            // 2.0.0.0
    {"lower-minor.exe", "versioned.exe", "data-3.bin", true},      // 1.65535.65535.65535
    {"newer-revision.exe", "versioned.exe", "data-4.bin", false},  // 2.0.0.40000
    {"over-unversioned.exe", "plain.exe", "data-5.bin", false},    // 1.0.0.0
    {"record-without-version.exe", "versioned.exe", "data-6.bin", false},
    {"not-there-before.exe", nullptr, "data-7.bin", false},
};

TEST(VersionRule, NewerOrEqualVersionsStayOlderAndUnversionedAreReplaced) {
  const std::string destination = DefaultDestination("VT Version Rule");
  RemovePath(destination);
  ASSERT_TRUE(MakeFolders(destination));
  for (const VersionCase& c : kCases) {
    if (c.existing == nullptr) continue;
    ASSERT_TRUE(WriteBytes(destination + "\\" + c.name, *ReadBytes(InputFile(c.existing))));
  }

  robot::Program setup = StartSetup(PackagePath("version-rule"));
  HWND finish = WaitForFinishDialog(setup, "VT Version Rule Setup");
  ASSERT_NE(finish, nullptr);
  robot::Click(robot::ChildById(finish, IDC_FINISH));
  ASSERT_EQ(robot::WaitForExit(setup), 0u);

  for (const VersionCase& c : kCases) {
    SCOPED_TRACE(c.name);
    auto installed = ReadBytes(destination + "\\" + c.name);
    ASSERT_TRUE(installed.has_value());
    const char* expected = c.keepsExisting ? c.existing : c.packageInput;
    EXPECT_EQ(*installed, *ReadBytes(InputFile(expected)))
        << (c.keepsExisting ? "the existing file was replaced" : "the record was not written");
  }
}

}  // namespace
