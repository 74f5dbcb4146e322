// Installing as a user would: a setup executable packed by vtpack, whose
// header selects no wizard page, run under Wine and ended through its
// finish dialog.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
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

// A top-level window of the package's ProgramWindowClass on its own thread,
// counting the WM_CLOSE messages it receives.
class RunningProgramWindow {
 public:
  explicit RunningProgramWindow(const char* className) : className_(className) {
    thread_ = std::thread([this] { Run(); });
    while (!ready_) Sleep(10);
  }
  ~RunningProgramWindow() {
    PostMessageA(window_, WM_USER, 0, 0);
    thread_.join();
  }
  int CloseRequests() const { return closeRequests_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<RunningProgramWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_CLOSE) {
      ++self->closeRequests_;
      return 0;  // stays open: the test wants to count, not to close
    }
    if (message == WM_USER) {
      DestroyWindow(window);
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  void Run() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className_;
    RegisterClassA(&windowClass);
    window_ = CreateWindowA(className_, "Installed program", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                            nullptr, nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ready_ = true;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    UnregisterClassA(className_, windowClass.hInstance);
  }

  const char* className_;
  std::thread thread_;
  HWND window_ = nullptr;
  std::atomic<bool> ready_{false};
  std::atomic<int> closeRequests_{0};
};

TEST(Install, RunningProgramWindowIsAskedToClose) {
  RunningProgramWindow running("VantorelSetupTestWindow");
  robot::Program setup = StartSetup(PackagePath("no-files"));
  HWND finish = WaitForFinishDialog(setup, "VT No Files Setup");
  ASSERT_NE(finish, nullptr);
  // The close request was posted before the install began.
  for (int i = 0; i < 100 && running.CloseRequests() == 0; ++i) Sleep(20);
  EXPECT_EQ(running.CloseRequests(), 1);
  robot::Click(robot::ChildById(finish, 3));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
  EXPECT_EQ(running.CloseRequests(), 1);
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
