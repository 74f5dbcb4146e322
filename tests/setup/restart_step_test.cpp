// The closing step when a file waits for a restart: the run sequence's last
// step, run in this process with the engine's RestartNeeded set as the file
// loop sets it, and the restart itself replaced by a recorder.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "app/install_settings.h"
#include "app/run_sequence.h"
#include "robot/robot.h"
#include "ui/closing_dialogs.h"

namespace {

std::atomic<int> restarts{0};
std::atomic<UINT> restartFlags{0};

BOOL WINAPI RecordRestart(UINT flags, DWORD) {
  ++restarts;
  restartFlags = flags;
  return TRUE;
}

const char kCaption[] = "VT Restart Setup";

class RestartStep : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetExitWindowsFunction(RecordRestart);
    restarts = 0;
    Settings.InstanceHandle = GetModuleHandleA(nullptr);
    Settings.SetupCaption = kCaption;
    Settings.DestinationDir = "C:\\Program Files\\VT Restart";
    std::strcpy(Settings.Header.ProgramFileName, "absent.exe");
    Settings.Header.RunProgramAtEnd = 1;  // the restart dialog comes first all the same
    Settings.RestartNeeded = true;
  }
  void TearDown() override {
    SetExitWindowsFunction(previous_);
    Settings.RestartNeeded = false;
  }

  // Runs the closing step here while `drive` works the restart dialog from
  // another thread, as a user would. Any other window (the box of a program
  // that could not be started) is answered so that the step ends, and
  // counted.
  template <typename Drive>
  void RunClosingStep(Drive drive) {
    std::thread robotThread([&] {
      HWND dialog = robot::WaitForTopWindow(GetCurrentProcessId(), "#32770", kCaption);
      if (dialog && robot::ChildById(dialog, 1047)) {
        drive(dialog);
        closed_ = robot::WaitForWindowToClose(dialog);
        dialog = robot::WaitForMessageBox(GetCurrentProcessId(), 500);
      }
      if (dialog) {
        ++otherWindows_;
        robot::AnswerMessageBox(dialog, IDOK);
      }
    });
    ShowClosingStep();
    robotThread.join();
  }

  int otherWindows_ = 0;
  bool closed_ = false;

 private:
  ExitWindowsFunction previous_ = nullptr;
};

TEST_F(RestartStep, YesIsPreselectedAndRestartsAfterFinish) {
  bool yesChecked = false;
  bool noChecked = true;
  RunClosingStep([&](HWND dialog) {
    yesChecked = robot::IsChecked(robot::ChildById(dialog, 1047));
    noChecked = robot::IsChecked(robot::ChildById(dialog, 1048));
    robot::SaveScreenshot("setup_restart_dialog");
    robot::Click(robot::ChildById(dialog, 3));
  });
  EXPECT_TRUE(closed_);
  EXPECT_EQ(otherWindows_, 0);
  EXPECT_TRUE(yesChecked);
  EXPECT_FALSE(noChecked);
  EXPECT_EQ(restarts, 1);
  EXPECT_EQ(restartFlags, static_cast<UINT>(EWX_REBOOT));
}

TEST_F(RestartStep, NoEndsWithoutRestartAndWithoutRunningTheProgram) {
  RunClosingStep([&](HWND dialog) {
    robot::Click(robot::ChildById(dialog, 1048));
    for (int i = 0; i < 100 && !robot::IsChecked(robot::ChildById(dialog, 1048)); ++i) Sleep(20);
    robot::Click(robot::ChildById(dialog, 3));
  });
  EXPECT_TRUE(closed_);
  EXPECT_EQ(restarts, 0);
  // Running absent.exe (RunProgramAtEnd) would have shown a box.
  EXPECT_EQ(otherWindows_, 0);
}

}  // namespace
