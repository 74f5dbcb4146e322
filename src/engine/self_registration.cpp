#include "engine/self_registration.h"

#include <windows.h>
#include <shellapi.h>
#include <string.h>

#include "base/messages.h"
#include "engine/short_path.h"
#include "engine/system_folders.h"
#include "package/layout.h"
#include "state/install_settings.h"

void RegisterFile(const char* path) {
  SharedString program;
  GetDestinationBase(layout::kDestinationSystem, program);
  program += "\\RegSvr32.exe";
  // The short form has no blanks; a long path that has to stand in for it
  // is quoted, or RegSvr32 would take it for several files.
  SharedString file = ShortPathOf(path);
  SharedString parameters;
  if (strchr(file, ' ') != nullptr) {
    FormatString(parameters, "\"%s\" /s", file.Text());
  } else {
    FormatString(parameters, "%s /s", file.Text());
  }
  HINSTANCE started = ShellExecuteA(nullptr, "open", program, parameters, nullptr, SW_SHOWNORMAL);
  // ShellExecuteA's result is an error code below 33, a success above.
  if (reinterpret_cast<INT_PTR>(started) <= 32) {
    ShowError(nullptr, Settings.SetupCaption, IDS_REGISTER_FILE, path);
  }
}
