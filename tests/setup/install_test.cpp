// Installing as a user would: a setup executable packed by vtpack, whose
// header selects no wizard page, run under Wine and ended through its
// finish dialog.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

struct ExpectedFile {
  std::string input;        // staged file whose bytes and time it must have
  std::string installedAt;  // full path after the install
};

std::vector<ExpectedFile> EveryDestinationFiles() {
  const std::string app = DefaultDestination("VT Every Destination");
  return {
      {"readme.txt", app + "\\readme.txt"},
      {"manual.txt", app + "\\Docs\\Manual\\manual.txt"},
      {"empty.dat", app + "\\empty.dat"},
      {"data-1.bin", WindowsDirectory() + "\\VantorelSetupTest\\data-1.bin"},
      {"data-2.bin", SystemDirectory() + "\\VantorelSetupTest\\data-2.bin"},
      {"data-3.bin", FontsDirectory() + "\\VantorelSetupTest\\data-3.bin"},
      {"data-4.bin", ProgramFilesDirectory() + "\\VantorelSetupTest\\With Blanks\\data-4.bin"},
      {"data-5.bin", CommonFilesDirectory() + "\\VantorelSetupTest\\data-5.bin"},
  };
}

void RemoveEveryDestination() {
  RemovePath(DefaultDestination("VT Every Destination"));
  for (const std::string& base : {WindowsDirectory(), SystemDirectory(), FontsDirectory(),
                                  ProgramFilesDirectory(), CommonFilesDirectory()}) {
    RemovePath(base + "\\VantorelSetupTest");
  }
  RemovePath(WindowsDirectory() + "\\VTUnInst.exe");
}

TEST(Install, EveryDestinationTypeGetsItsBytesFoldersAndTimes) {
  RemoveEveryDestination();
  robot::Program setup = StartSetup(PackagePath("every-destination"));
  ASSERT_TRUE(setup.Started()) << setup.Error();
  HWND finish = WaitForFinishDialog(setup, "VT Every Destination Setup");
  ASSERT_NE(finish, nullptr) << "no finish dialog";
  ASSERT_TRUE(robot::Click(robot::ChildById(finish, 3)));
  ASSERT_EQ(robot::WaitForExit(setup), 0u);

  for (const ExpectedFile& file : EveryDestinationFiles()) {
    SCOPED_TRACE(file.installedAt);
    auto installed = ReadBytes(file.installedAt);
    ASSERT_TRUE(installed.has_value()) << "not installed";
    EXPECT_EQ(*installed, *ReadBytes(InputFile(file.input)));
    // The packer records the input's time; setup keeps it to the minute.
    auto time = LastWriteTime(file.installedAt);
    auto expected = ToMinute(*LastWriteTime(InputFile(file.input)));
    ASSERT_TRUE(time.has_value());
    EXPECT_EQ(CompareFileTime(&*time, &expected), 0)
        << "installed " << Describe(*time) << ", expected " << Describe(expected);
  }
}

TEST(Install, UninstallerLandsInTheWindowsDirectory) {
  RemoveEveryDestination();
  robot::Program setup = StartSetup(PackagePath("every-destination"));
  HWND finish = WaitForFinishDialog(setup, "VT Every Destination Setup");
  ASSERT_NE(finish, nullptr);
  robot::Click(robot::ChildById(finish, 3));
  ASSERT_EQ(robot::WaitForExit(setup), 0u);

  auto uninstaller = ReadBytes(WindowsDirectory() + "\\VTUnInst.exe");
  ASSERT_TRUE(uninstaller.has_value());
  EXPECT_EQ(*uninstaller, *ReadBytes(robot::WindowsPathOf(VTUNINST_PROGRAM)));
}

// Escape, the close box and the system menu's Close all reach the dialog;
// only "&Finish" ends it.
TEST(Install, FinishDialogClosesOnlyThroughFinish) {
  RemoveEveryDestination();
  robot::Program setup = StartSetup(PackagePath("every-destination"));
  HWND finish = WaitForFinishDialog(setup, "VT Every Destination Setup");
  ASSERT_NE(finish, nullptr);
  HWND button = robot::ChildById(finish, 3);
  EXPECT_TRUE(robot::IsDefaultButton(button));
  robot::SaveScreenshot("setup_finish_dialog");

  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
  } attempts[] = {
      {"Escape", WM_COMMAND, IDCANCEL},
      {"close box", WM_CLOSE, 0},
      {"system menu Close", WM_SYSCOMMAND, SC_CLOSE},
  };
  for (const auto& attempt : attempts) {
    SCOPED_TRACE(attempt.name);
    ASSERT_TRUE(PostMessageA(finish, attempt.message, attempt.wParam, 0));
    ASSERT_TRUE(robot::WaitForPostedMessages(button));
    EXPECT_TRUE(IsWindow(finish));
    EXPECT_TRUE(setup.Running());
  }
  ASSERT_TRUE(robot::Click(button));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
  EXPECT_FALSE(IsWindow(finish));
}

// The demo program's window has the class the package names: setup asks it
// to close, and it does.
TEST(Install, RunningProgramIsAskedToClose) {
  robot::Program demo = robot::Start(InputFile("demoapp.exe"));
  ASSERT_NE(robot::WaitForTopWindow(demo.Id(), "VantorelDemoWindow"), nullptr);
  robot::Program setup = StartSetup(PackagePath("no-files"));
  // Setup neither waits for it nor checks: the program is gone before the
  // install ends.
  EXPECT_EQ(robot::WaitForExit(demo), 0u);
  HWND finish = WaitForFinishDialog(setup, "VT No Files Setup");
  ASSERT_NE(finish, nullptr);
  robot::Click(robot::ChildById(finish, 3));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
}

TEST(Install, PackageWithoutFilesStillWritesTheUninstaller) {
  RemovePath(WindowsDirectory() + "\\VTUnInst.exe");
  robot::Program setup = StartSetup(PackagePath("no-files"));
  HWND finish = WaitForFinishDialog(setup, "VT No Files Setup");
  ASSERT_NE(finish, nullptr);
  robot::Click(robot::ChildById(finish, 3));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
  EXPECT_TRUE(Exists(WindowsDirectory() + "\\VTUnInst.exe"));
  EXPECT_FALSE(Exists(DefaultDestination("VT No Files")));
}

}  // namespace
