#include "ui/run_installed_program.h"

#include <windows.h>

#include "base/messages.h"
#include "base/shared_string.h"
#include "state/install_settings.h"

bool RunInstalledProgram() {
  // Without a program name the path would be the folder itself, which the
  // shell would open in Explorer.
  bool started = false;
  if (Settings.Header.ProgramFileName[0] != '\0') {
    SharedString program;
    FormatString(program, "%s\\%s", Settings.DestinationDir.Text(),
                 Settings.Header.ProgramFileName);
    HINSTANCE result =
        ShellExecuteA(nullptr, "open", program, nullptr, Settings.DestinationDir, SW_SHOWNORMAL);
    started = reinterpret_cast<INT_PTR>(result) > 32;
  }
  if (!started) ShowError(nullptr, Settings.SetupCaption, IDS_RUN_PROGRAM);
  return started;
}
