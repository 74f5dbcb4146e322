#include "engine/self_registration.h"

#include <windows.h>
#include <shellapi.h>
#include <string.h>

#include "base/folder_security.h"
#include "base/messages.h"
#include "base/path_rules.h"
#include "engine/short_path.h"
#include "engine/system_folders.h"
#include "package/layout.h"
#include "state/install_settings.h"

void RegisterFile(const char* path) {
  // What RegSvr32 loads runs with this process's rights: never from a
  // folder others could have put a file in.
  if (RunsAsAdministrator() &&
      IsFolderOpenToOthers(SharedString(path).Middle(0, LastSeparator(path)))) {
    ShowError(nullptr, Settings.SetupCaption, IDS_REGISTER_FILE, path);
    return;
  }
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
  SHELLEXECUTEINFOA start = {};
  start.cbSize = sizeof start;
  start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;  // failures are ours to report
  start.lpVerb = "open";
  start.lpFile = program;
  start.lpParameters = parameters;
  start.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&start)) {
    ShowError(nullptr, Settings.SetupCaption, IDS_REGISTER_FILE, path);
    return;
  }
  // An administrator's run waits for it: its folders, held until then,
  // cannot change under RegSvr32. Without one, nobody gains by a swap.
  if (start.hProcess != nullptr) {
    if (RunsAsAdministrator()) WaitForSingleObject(start.hProcess, INFINITE);
    CloseHandle(start.hProcess);
  }
}
