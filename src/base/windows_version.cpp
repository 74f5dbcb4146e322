#include "base/windows_version.h"

#include <windows.h>

namespace {

bool AskWindows() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

WindowsFamilyTest familyTest = AskWindows;

}  // namespace

bool IsWindowsNT() { return familyTest(); }

WindowsFamilyTest SetWindowsFamilyTest(WindowsFamilyTest test) {
  WindowsFamilyTest previous = familyTest;
  familyTest = test ? test : AskWindows;
  return previous;
}
