#include "setup_program/run_sequence.h"

#include <objbase.h>

#include "base/messages.h"
#include "base/run_log.h"
#include "base/system_library.h"
#include "engine/install_driver.h"
#include "setup_program/command_line.h"
#include "setup_program/load_package_header.h"
#include "setup_program/unattended.h"
#include "shortcuts/shortcuts.h"
#include "state/install_settings.h"
#include "ui/closing_dialogs.h"
#include "ui/destination_choice.h"
#include "ui/progress_dialog.h"
#include "ui/run_installed_program.h"
#include "ui/wizard.h"

namespace {

// The install with its progress dialog, which it closes when it is done;
// under "/PASSIVE" without Cancel, since nothing may be asked. Without the
// dialog (silent, or when it cannot be made) the install goes on unseen.
bool Install(const SetupCommandLine& commandLine) {
  ProgressDialog progress;
  if (!commandLine.silent) progress.Create(!commandLine.passive);
  return RunInstall(progress);
}

// A running copy of the program being installed is asked to close; setup
// neither waits nor checks (its files may still be in use: the file loop
// handles that).
void AskRunningProgramToClose() {
  HWND window = FindWindowA(Settings.Header.ProgramWindowClass, nullptr);
  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
}

// Unattended, the wizard's first choices stand: the default destination (or
// "/D="), every shortcut, the licence accepted. Its question before
// installing over the program, asked where the wizard has a destination
// page, is answered Yes (the box goes to the run log).
void AcceptStartingChoices() {
  if (Settings.Header.ShowDestinationPage == 0) return;
  SharedString program;
  FormatString(program, "%s\\%s", Settings.DestinationDir.Text(), Settings.Header.ProgramFileName);
  if (GetFileAttributesA(program) != INVALID_FILE_ATTRIBUTES) {
    AskQuestion(nullptr, Settings.SetupCaption, IDS_PROGRAM_EXISTS);
  }
}

// Everything after the command line; the exit code.
int Run(const SetupCommandLine& commandLine) {
  const bool unattended = commandLine.Unattended();
  if (FAILED(CoInitialize(nullptr))) {
    ShowError(nullptr, Settings.SetupCaption, IDS_COM_INIT_FAILED);
    return kExitFailed;
  }
  // Silent, no control is ever made.
  if (!commandLine.silent) InitCommonControlsFromSystem();
  if (!LoadPackageHeader()) {
    CoUninitialize();
    return kExitFailed;
  }
  if (!commandLine.destination.IsEmpty()) Settings.DestinationDir = commandLine.destination;
  LogLine("Application: %s", Settings.TitleText.Text());
  AskRunningProgramToClose();
  int exitCode = kExitDone;
  if (unattended || RunWizard()) {
    // Without the destination page, the default (or "/D=") is taken as the
    // page takes a typed folder.
    if (!TakeDestination(nullptr, Settings.DestinationDir)) {
      CoUninitialize();
      return kExitFailed;
    }
    if (unattended) AcceptStartingChoices();
    LogLine("Destination: %s", Settings.DestinationDir.Text());
    if (!Install(commandLine)) {
      CoUninitialize();
      return kExitFailed;
    }
    CreateShortcuts();
    if (!CompleteInstall()) {
      CoUninitialize();
      return kExitFailed;
    }
    if (!unattended) {
      ShowClosingStep();
    } else if (Settings.RestartNeeded) {
      exitCode = kExitRestartNeeded;
    }
  } else {
    LogLine("Wizard left: nothing installed");
  }
  CoUninitialize();
  return exitCode;
}

}  // namespace

void ShowClosingStep() {
  if (Settings.RestartNeeded) {
    ShowRestartDialog();
  } else if (Settings.Header.RunProgramAtEnd != 0) {
    RunInstalledProgram();
  } else {
    ShowFinishDialog();
  }
}

int RunSetup(HINSTANCE instance) {
  Settings.InstanceHandle = instance;
  SetupCommandLine commandLine;
  const bool understood = ParseSetupCommandLine(GetCommandLineA(), commandLine);
  // Unattended (/S or /PASSIVE), no box is shown, and the question before
  // installing over the program is the one answered Yes: the run stands for
  // installing.
  BeginRun("Setup", commandLine.logPath, commandLine.Unattended(), IDS_PROGRAM_EXISTS);
  if (!understood || commandLine.help) {
    ShowUsage(understood ? nullptr : commandLine.wrong.Text());
    return EndRun(understood ? kExitDone : kExitBadCommandLine);
  }
  return EndRun(Run(commandLine));
}
