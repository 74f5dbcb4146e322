#include "setup_program/run_sequence.h"

#include <objbase.h>

#include "state/install_settings.h"
#include "setup_program/load_package_header.h"
#include "base/messages.h"
#include "base/system_library.h"
#include "engine/install_driver.h"
#include "engine/uninstall_log.h"
#include "shortcuts/shortcuts.h"
#include "ui/closing_dialogs.h"
#include "ui/destination_choice.h"
#include "ui/progress_dialog.h"
#include "ui/run_installed_program.h"
#include "ui/wizard.h"

namespace {

// The install with its progress dialog, which it closes when it is done.
// Without the dialog the install goes on unseen.
bool Install() {
  ProgressDialog progress;
  progress.Create();
  return RunInstall(progress);
}

// A running copy of the program being installed is asked to close; setup
// neither waits nor checks (its files may still be in use: the file loop
// handles that).
void AskRunningProgramToClose() {
  HWND window = FindWindowA(Settings.Header.ProgramWindowClass, nullptr);
  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
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
  if (FAILED(CoInitialize(nullptr))) {
    ShowError(nullptr, Settings.SetupCaption, IDS_COM_INIT_FAILED);
    return 1;
  }
  InitCommonControlsFromSystem();
  if (!LoadPackageHeader()) {
    CoUninitialize();
    return 1;
  }
  AskRunningProgramToClose();
  if (RunWizard()) {
    // Without the destination page, the default is taken as the page takes
    // a typed folder.
    if (!TakeDestination(nullptr, Settings.DestinationDir) || !Install()) {
      CoUninitialize();
      return 1;
    }
    CreateShortcuts();
    WriteUninstallLog();
    ShowClosingStep();
  }
  CoUninitialize();
  return 0;
}
