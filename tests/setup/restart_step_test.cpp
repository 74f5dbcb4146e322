// The closing step when a file waits for a restart: the run sequence's last
// step, run in this process with the engine's RestartNeeded set as the file
// loop sets it, and the restart itself replaced by a recorder.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "state/install_settings.h"
#include "app/run_sequence.h"
#include "robot/robot.h"
#include "ui/restart_computer.h"

namespace {

std::atomic<int> restarts{0};
std::atomic<UINT> restartFlags{0};

BOOL WINAPI RecordRestart(UINT flags, DWORD) {
  ++restarts;
  restartFlags = flags;
  return TRUE;
}

TEST(RestartStep, RestartDialogComesFirstWithYesPreselected) {
  ExitWindowsFunction previous = SetExitWindowsFunction(RecordRestart);
  const char kCaption[] = "VT Restart Setup";
  Settings.InstanceHandle = GetModuleHandleA(nullptr);
  Settings.SetupCaption = kCaption;
  Settings.DestinationDir = "C:\\Program Files\\VT Restart";
  std::strcpy(Settings.Header.ProgramFileName, "absent.exe");
  Settings.Header.RunProgramAtEnd = 1;  // not run: the restart dialog wins
  Settings.RestartNeeded = true;

  // The robot works the dialog from another thread, as a user would. Any
  // other window (the box of a program that could not be started) is
  // answered, so that the step ends, and counted.
  bool yesChecked = false, noChecked = true, closed = false;
  int otherWindows = 0;
  std::thread robotThread([&] {
    HWND dialog = robot::WaitForTopWindow(GetCurrentProcessId(), "#32770", kCaption);
    if (dialog && robot::ChildById(dialog, 1047)) {
      yesChecked = robot::IsChecked(robot::ChildById(dialog, 1047));
      noChecked = robot::IsChecked(robot::ChildById(dialog, 1048));
      robot::SaveScreenshot("setup_restart_dialog");
      robot::Click(robot::ChildById(dialog, 3));
      closed = robot::WaitForWindowToClose(dialog);
      dialog = robot::WaitForMessageBox(GetCurrentProcessId(), 500);
    }
    if (dialog) {
      ++otherWindows;
      robot::AnswerMessageBox(dialog, IDOK);
    }
  });
  ShowClosingStep();
  robotThread.join();
  SetExitWindowsFunction(previous);

  EXPECT_TRUE(closed);
  EXPECT_EQ(otherWindows, 0);
  EXPECT_TRUE(yesChecked);
  EXPECT_FALSE(noChecked);
  EXPECT_EQ(restarts, 1);
  EXPECT_EQ(restartFlags, static_cast<UINT>(EWX_REBOOT));
}

}  // namespace
