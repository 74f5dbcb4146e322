#include "hyperlink/browser_launch.h"

#include <shellapi.h>

#include "hyperlink/browser_command.h"

namespace {

// Registry texts are read through a buffer of this many bytes; a value
// that needs more fails with ERROR_MORE_DATA.
const DWORD kRegistryTextSize = MAX_PATH;

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

LONG ReadRegistryValue(HKEY root, const char* subKey, const char* valueName, SharedString* out) {
  HKEY key;
  LONG result = RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key);
  if (result != ERROR_SUCCESS) return result;
  // One byte more than the size given: a text stored without its NUL
  // still ends inside the buffer.
  char buffer[kRegistryTextSize + 1];
  DWORD size = kRegistryTextSize;
  result = RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result == ERROR_SUCCESS) {
    buffer[size] = '\0';
    *out = buffer;
  }
  return result;
}

LONG ReadRegistryDefault(HKEY root, const char* subKey, SharedString* out) {
  HKEY key;
  LONG result = RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key);
  if (result != ERROR_SUCCESS) return result;
  char buffer[kRegistryTextSize + 1];
  LONG size = kRegistryTextSize;
  result = RegQueryValueA(key, nullptr, buffer, &size);
  RegCloseKey(key);
  if (result == ERROR_SUCCESS) {
    buffer[size] = '\0';
    *out = buffer;
  }
  return result;
}

bool LaunchBrowser(const char* address, int showCommand) {
  SharedString version;  // only whether it is there counts
  bool ieInstalled = ReadRegistryValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer",
                                       "Version", &version) == ERROR_SUCCESS;
  SharedString documentClass;
  if (StartsWithNoCase(address, "mailto:") ||
      ReadRegistryDefault(HKEY_CLASSES_ROOT, ".htm", &documentClass) != ERROR_SUCCESS) {
    return OpenThroughShell(address, showCommand);
  }
  // A class without an open command opens nothing; the shell is not asked.
  SharedString command;
  if (ReadRegistryDefault(HKEY_CLASSES_ROOT, documentClass + "\\shell\\open\\command",
                          &command) != ERROR_SUCCESS) {
    return false;
  }
  SharedString commandLine;
  return BuildBrowserCommand(command, address, ieInstalled, &commandLine) &&
         StartBrowser(commandLine);
}
