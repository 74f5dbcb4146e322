#include "hyperlink/browser_launch.h"

#include <windows.h>
#include <shellapi.h>

#include "base/compare_no_case.h"
#include "base/registry_value.h"
#include "hyperlink/browser_command.h"

namespace {

// Starts the command line as it is; the process runs on its own.
bool StartBrowser(const SharedString& commandLine) {
  char buffer[kBrowserCommandSize];  // CreateProcessA may write into it
  lstrcpynA(buffer, commandLine, kBrowserCommandSize);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(nullptr, buffer, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool OpenThroughShell(const char* address, int showCommand) {
  HINSTANCE result = ShellExecuteA(nullptr, "open", address, nullptr, nullptr, showCommand);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

bool LaunchBrowser(const char* address, int showCommand) {
  SharedString version;  // only whether it is there counts
  bool ieInstalled = QueryRegistryText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer",
                                       "Version", &version) == ERROR_SUCCESS;
  SharedString documentClass;
  if (StartsWithNoCase(address, "mailto:") ||
      QueryRegistryText(HKEY_CLASSES_ROOT, ".htm", nullptr, &documentClass) != ERROR_SUCCESS) {
    return OpenThroughShell(address, showCommand);
  }
  // A class without an open command opens nothing; the shell is not asked.
  SharedString command;
  if (QueryRegistryText(HKEY_CLASSES_ROOT, documentClass + "\\shell\\open\\command", nullptr,
                        &command) != ERROR_SUCCESS) {
    return false;
  }
  SharedString commandLine;
  return BuildBrowserCommand(command, address, ieInstalled, &commandLine) &&
         StartBrowser(commandLine);
}
