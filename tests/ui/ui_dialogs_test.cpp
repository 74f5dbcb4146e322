// The setup program's dialogs as a user meets them: each is shown by the
// test host (real code, real resources) and driven by the robot from here.
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dialog_host_results.h"
#include "robot/robot.h"
#include "ui/resource_ids.h"

namespace {

const char kCaption[] = "Demo App Setup";

std::string HostPath() { return robot::WindowsPathOf(UI_DIALOG_HOST); }

struct HostedDialog {
  robot::Program host;
  HWND dialog = nullptr;
};

HostedDialog ShowDialog(const std::vector<std::string>& arguments) {
  HostedDialog hosted;
  hosted.host = robot::Start(HostPath(), arguments);
  if (hosted.host.Started()) {
    hosted.dialog = robot::WaitForTopWindow(hosted.host.Id(), "#32770", kCaption);
    if (!hosted.dialog) {
      DWORD code = 0;
      GetExitCodeProcess(hosted.host.Handle(), &code);
      hosted.host.SetError("no dialog; host " +
                           std::string(hosted.host.Running() ? "runs" : "ended") + ", exit code " +
                           std::to_string(code));
    }
  }
  return hosted;
}

// The ways a user may try to close a dialog other than with its buttons.
struct CloseAttempt {
  const char* name;
  UINT message;
  WPARAM wParam;
  bool toFocusedControl;  // keys go to the control with the focus
};

const CloseAttempt kCloseAttempts[] = {
    {"command IDCANCEL", WM_COMMAND, IDCANCEL, false},
    {"WM_CLOSE", WM_CLOSE, 0, false},
    {"close box", WM_SYSCOMMAND, SC_CLOSE, false},
    {"Escape key", WM_KEYDOWN, VK_ESCAPE, true},
};

void PostCloseAttempt(HWND dialog, HWND focusedControl, const CloseAttempt& attempt) {
  HWND target = attempt.toFocusedControl ? focusedControl : dialog;
  ASSERT_TRUE(PostMessageA(target, attempt.message, attempt.wParam, 0)) << attempt.name;
}

// ---- finish dialog ----

TEST(FinishDialog, ShowsCaptionTextIconAndDefaultFinishButton) {
  HostedDialog hosted = ShowDialog({"finish", kCaption});
  ASSERT_TRUE(hosted.dialog) << hosted.host.Error();
  EXPECT_EQ(robot::TextOf(hosted.dialog), kCaption);
  EXPECT_TRUE(robot::ChildByText(
      hosted.dialog, "Setup is complete!\n\nClick the Finish button to exit.", "Static"));
  HWND finish = robot::ChildById(hosted.dialog, IDC_FINISH);
  EXPECT_EQ(robot::TextOf(finish), "&Finish");
  EXPECT_TRUE(robot::IsDefaultButton(finish));
  robot::SaveScreenshot("ui-finish-dialog");
  ASSERT_TRUE(robot::Click(finish));
  EXPECT_EQ(robot::WaitForExit(hosted.host), DWORD(kHostDone));
}

// ---- restart dialog ----

TEST(RestartDialog, OffersYesPreselectedWithFinishAsDefault) {
  HostedDialog hosted = ShowDialog({"restart", kCaption});
  ASSERT_TRUE(hosted.dialog) << hosted.host.Error();
  EXPECT_EQ(robot::TextOf(hosted.dialog), kCaption);
  EXPECT_TRUE(robot::ChildByText(hosted.dialog,
                                 "You will need to restart your computer to complete the "
                                 "setup. Do you want to restart the computer now?",
                                 "Static"));
  HWND yes = robot::ChildById(hosted.dialog, IDC_RESTART_YES);
  HWND no = robot::ChildById(hosted.dialog, IDC_RESTART_NO);
  HWND finish = robot::ChildById(hosted.dialog, IDC_FINISH);
  EXPECT_EQ(robot::TextOf(yes), "&Yes, restart the computer now");
  EXPECT_EQ(robot::TextOf(no), "&No, I will restart the computer later");
  EXPECT_TRUE(robot::IsChecked(yes));
  EXPECT_FALSE(robot::IsChecked(no));
  EXPECT_EQ(robot::TextOf(finish), "&Finish");
  EXPECT_TRUE(robot::IsDefaultButton(finish));
  robot::SaveScreenshot("ui-restart-dialog");
  // Leave without restarting: this test is about the dialog's look.
  ASSERT_TRUE(robot::Click(no));
  ASSERT_TRUE(robot::Click(finish));
  EXPECT_EQ(robot::WaitForExit(hosted.host), DWORD(kHostNoRestart));
}

// Both closing dialogs ignore Escape and the close box. The restart dialog
// is left with "No" so that nothing is asked to restart.
struct ClosingDialog {
  const char* mode;
  int radioBeforeFinish;  // 0: none
  HostResult expected;
};

const ClosingDialog kClosingDialogs[] = {
    {"finish", 0, kHostDone},
    {"restart", IDC_RESTART_NO, kHostNoRestart},
};

TEST(ClosingDialogs, OnlyFinishClosesThem) {
  for (const ClosingDialog& closing : kClosingDialogs) {
    SCOPED_TRACE(closing.mode);
    HostedDialog hosted = ShowDialog({closing.mode, kCaption});
    ASSERT_TRUE(hosted.dialog) << hosted.host.Error();
    HWND finish = robot::ChildById(hosted.dialog, IDC_FINISH);
    for (const CloseAttempt& attempt : kCloseAttempts) {
      PostCloseAttempt(hosted.dialog, finish, attempt);
      ASSERT_TRUE(robot::WaitForPostedMessages(finish)) << "dialog gone after " << attempt.name;
      EXPECT_TRUE(robot::IsVisible(hosted.dialog)) << attempt.name;
    }
    EXPECT_TRUE(hosted.host.Running());
    if (closing.radioBeforeFinish) {
      ASSERT_TRUE(robot::Click(robot::ChildById(hosted.dialog, closing.radioBeforeFinish)));
    }
    ASSERT_TRUE(robot::Click(finish));
    EXPECT_EQ(robot::WaitForExit(hosted.host), DWORD(closing.expected));
  }
}

// The host puts a recorder in place of ExitWindowsEx and reports what it
// was asked, and whether the shutdown privilege was enabled first.
struct RestartChoice {
  const char* name;
  int radioToClick;  // 0: keep the preselection
  HostResult expected;
};

const RestartChoice kRestartChoices[] = {
    {"preselected Yes", 0, kHostRestarted},
    {"Yes clicked", IDC_RESTART_YES, kHostRestarted},
    {"No", IDC_RESTART_NO, kHostNoRestart},
    {"No, then Yes again", -1, kHostRestarted},
};

TEST(RestartDialog, FinishRestartsOnlyWhenYesIsChosen) {
  for (const RestartChoice& choice : kRestartChoices) {
    SCOPED_TRACE(choice.name);
    HostedDialog hosted = ShowDialog({"restart", kCaption});
    ASSERT_TRUE(hosted.dialog) << hosted.host.Error();
    if (choice.radioToClick == -1) {
      ASSERT_TRUE(robot::Click(robot::ChildById(hosted.dialog, IDC_RESTART_NO)));
      ASSERT_TRUE(robot::Click(robot::ChildById(hosted.dialog, IDC_RESTART_YES)));
    } else if (choice.radioToClick) {
      ASSERT_TRUE(robot::Click(robot::ChildById(hosted.dialog, choice.radioToClick)));
    }
    ASSERT_TRUE(robot::Click(robot::ChildById(hosted.dialog, IDC_FINISH)));
    EXPECT_EQ(robot::WaitForExit(hosted.host), DWORD(choice.expected));
  }
}

// ---- starting the installed program ----

std::string TemporaryFolder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(RunInstalledProgram, StartsTheProgramInTheDestinationFolder) {
  // Blanks in both names, as in "C:\Program Files\Demo App\Demo App.exe".
  std::string destination = TemporaryFolder("vantorel ui run test");
  std::string program = destination + "\\Demo App.exe";
  std::string trace = destination + "\\" + kTraceFileName;
  DeleteFileA(trace.c_str());
  ASSERT_TRUE(CopyFileA(HostPath().c_str(), program.c_str(), FALSE));

  robot::Program host = robot::Start(HostPath(), {"run", kCaption, destination, "Demo App.exe"});
  ASSERT_TRUE(host.Started()) << host.Error();
  EXPECT_EQ(robot::WaitForExit(host), DWORD(kHostDone));
  // The started program runs on its own: wait for its trace.
  std::string traced;
  EXPECT_TRUE(robot::WaitUntil([&] { return (traced = ReadFile(trace)) == destination; }))
      << "traced \"" << traced << "\"";
  EXPECT_FALSE(robot::WaitForMessageBox(host.Id(), 200));
}

struct UnstartableProgram {
  const char* name;
  const char* programFileName;
};

const UnstartableProgram kUnstartablePrograms[] = {
    {"missing file", "Missing.exe"},
    {"no program named", ""},
};

TEST(RunInstalledProgram, ReportsAProgramThatCannotBeStarted) {
  std::string destination = TemporaryFolder("vantorel ui missing test");
  for (const UnstartableProgram& program : kUnstartablePrograms) {
    SCOPED_TRACE(program.name);
    robot::Program host =
        robot::Start(HostPath(), {"run", kCaption, destination, program.programFileName});
    ASSERT_TRUE(host.Started()) << host.Error();
    HWND box = robot::WaitForMessageBox(host.Id());
    ASSERT_TRUE(box);
    robot::MessageBoxContent content = robot::ReadMessageBox(box);
    EXPECT_EQ(content.caption, kCaption);
    EXPECT_EQ(content.text, "Unable to run program.");
    EXPECT_EQ(content.icon, robot::BoxIcon::Error) << robot::NameOf(content.icon);
    EXPECT_EQ(content.buttons, std::vector<std::string>{"OK"});
    ASSERT_TRUE(robot::AnswerMessageBox(box, IDOK));
    EXPECT_EQ(robot::WaitForExit(host), DWORD(kHostNotStarted));
  }
}

// ---- the closing step ----

// How a completed install ends: with the restart dialog while a file waits
// for a restart, even when the package asks for its program to be started;
// else with that program, started in the destination, and no dialog; else
// with the finish dialog. Where no program may start, the one named is
// missing: starting it would show a box, and the host would not end.
enum class Ending { kRestartDialog, kProgram, kFinishDialog };

struct ClosingStepCase {
  const char* restart;  // "restart" or "no-restart"
  const char* run;      // "run" or "no-run"
  const char* program;
  Ending ending;
  HostResult expected;  // the restart dialog is left with Yes preselected
};

const ClosingStepCase kClosingSteps[] = {
    {"restart", "run", "Missing.exe", Ending::kRestartDialog, kHostRestarted},
    {"no-restart", "run", "Demo App.exe", Ending::kProgram, kHostDone},
    {"no-restart", "no-run", "Missing.exe", Ending::kFinishDialog, kHostDone},
};

TEST(ClosingStep, RestartDialogThenTheProgramThenTheFinishDialog) {
  std::string destination = TemporaryFolder("vantorel ui closing test");
  std::string trace = destination + "\\" + kTraceFileName;
  ASSERT_TRUE(CopyFileA(HostPath().c_str(), (destination + "\\Demo App.exe").c_str(), FALSE));
  for (const ClosingStepCase& c : kClosingSteps) {
    SCOPED_TRACE(std::string(c.restart) + ", " + c.run);
    DeleteFileA(trace.c_str());
    robot::Program host =
        robot::Start(HostPath(), {"closing", kCaption, c.restart, c.run, destination, c.program});
    ASSERT_TRUE(host.Started()) << host.Error();
    if (c.ending != Ending::kProgram) {
      HWND dialog = robot::WaitForTopWindow(host.Id(), "#32770", kCaption);
      ASSERT_TRUE(dialog) << "no closing dialog";
      EXPECT_EQ(robot::ChildById(dialog, IDC_RESTART_YES) != nullptr,
                c.ending == Ending::kRestartDialog);
      ASSERT_TRUE(robot::Click(robot::ChildById(dialog, IDC_FINISH)));
    }
    EXPECT_EQ(robot::WaitForExit(host), DWORD(c.expected));
    if (c.ending == Ending::kProgram) {
      std::string traced;
      EXPECT_TRUE(robot::WaitUntil([&] { return (traced = ReadFile(trace)) == destination; }))
          << "traced \"" << traced << "\"";
    }
  }
}

// ---- progress dialog ----

struct BarState {
  LRESULT low, high, position;
};

BarState ReadBar(HWND bar) {
  return {SendMessageA(bar, PBM_GETRANGE, TRUE, 0), SendMessageA(bar, PBM_GETRANGE, FALSE, 0),
          SendMessageA(bar, PBM_GETPOS, 0, 0)};
}

// The bar once the host's steps have reached the screen: filled to within
// a pixel of `percent`, or as it is when that does not come.
BarState SettledBar(HWND bar, int percent) {
  BarState state = {};
  robot::WaitUntil([&] {
    state = ReadBar(bar);
    // The range is set once the bar is shown; before that an empty bar would
    // pass for 0 %.
    return state.high > 0 &&
           std::abs(state.position - state.high * percent / 100.0) <= 1.0 + state.high / 100.0;
  });
  return state;
}

TEST(ProgressDialog, ShowsPhaseTextBarAndCancel) {
  HostedDialog hosted = ShowDialog({"progress", kCaption, "3"});
  ASSERT_TRUE(hosted.dialog) << hosted.host.Error();
  HWND bar = robot::ChildById(hosted.dialog, IDC_PROGRESS_BAR);
  ASSERT_TRUE(bar);
  // The dialog shows before the host sets the phase and the bar.
  BarState state = SettledBar(bar, 100);
  EXPECT_EQ(robot::TextOf(hosted.dialog), kCaption);
  EXPECT_EQ(robot::TextOf(robot::ChildById(hosted.dialog, IDC_PROGRESS_TEXT)), "Creating files...");
  EXPECT_TRUE(robot::IsVisible(bar));
  EXPECT_EQ(state.low, 0);
  EXPECT_GT(state.high, 0);
  EXPECT_EQ(state.position, state.high) << "all three files done";
  HWND cancel = robot::ChildById(hosted.dialog, IDCANCEL);
  EXPECT_EQ(robot::TextOf(cancel), "Cancel");
  robot::SaveScreenshot("ui-progress-dialog");
  ASSERT_TRUE(robot::Click(cancel));
  EXPECT_EQ(robot::WaitForExit(hosted.host), DWORD(kHostCancelled));
}

TEST(ProgressDialog, BeforeTheFilesOnlyThePhaseTextShows) {
  HostedDialog hosted = ShowDialog({"progress", kCaption, "0"});
  ASSERT_TRUE(hosted.dialog) << hosted.host.Error();
  EXPECT_EQ(robot::TextOf(robot::ChildById(hosted.dialog, IDC_PROGRESS_TEXT)), "Reading data...");
  EXPECT_FALSE(robot::IsVisible(robot::ChildById(hosted.dialog, IDC_PROGRESS_BAR)));
  robot::SaveScreenshot("ui-progress-dialog-reading");
  ASSERT_TRUE(robot::Click(robot::ChildById(hosted.dialog, IDCANCEL)));
  EXPECT_EQ(robot::WaitForExit(hosted.host), DWORD(kHostCancelled));
}

// Files done out of files in the package, and the part of the bar filled.
struct BarCase {
  const char* files;
  const char* done;
  int expectedPercent;
};

const BarCase kBarCases[] = {
    {"1", "1", 100},
    {"4", "1", 25},
    {"3", "2", 67},
    // More files than a 16-bit range holds: the bar must not wrap.
    {"70000", "70000", 100},
    {"65536", "65536", 100},
    {"200000", "1", 0},
};

TEST(ProgressDialog, TheBarShowsTheShareOfFilesDone) {
  for (const BarCase& bar : kBarCases) {
    SCOPED_TRACE(std::string(bar.done) + " of " + bar.files);
    HostedDialog hosted = ShowDialog({"progress", kCaption, bar.files, bar.done});
    ASSERT_TRUE(hosted.dialog) << hosted.host.Error();
    BarState state =
        SettledBar(robot::ChildById(hosted.dialog, IDC_PROGRESS_BAR), bar.expectedPercent);
    ASSERT_GT(state.high, 0);
    EXPECT_NEAR(double(state.position), state.high * bar.expectedPercent / 100.0,
                1.0 + state.high / 100.0);
    ASSERT_TRUE(robot::Click(robot::ChildById(hosted.dialog, IDCANCEL)));
    EXPECT_EQ(robot::WaitForExit(hosted.host), DWORD(kHostCancelled));
  }
}

// Escape and the close box mean Cancel here, as the Cancel button does.
TEST(ProgressDialog, EveryWayOfClosingRequestsCancel) {
  for (const CloseAttempt& attempt : kCloseAttempts) {
    SCOPED_TRACE(attempt.name);
    HostedDialog hosted = ShowDialog({"progress", kCaption, "1"});
    ASSERT_TRUE(hosted.dialog) << hosted.host.Error();
    HWND cancel = robot::ChildById(hosted.dialog, IDCANCEL);
    PostCloseAttempt(hosted.dialog, cancel, attempt);
    EXPECT_EQ(robot::WaitForExit(hosted.host), DWORD(kHostCancelled));
  }
}

}  // namespace
