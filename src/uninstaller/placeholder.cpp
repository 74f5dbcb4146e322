// VTUnInst.exe as it stands in this build: the setup program already writes
// it into the Windows directory and the uninstall entry points at it, but
// it does not remove anything yet. It says so and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr,
              "The uninstaller is not available in this build of Vantorel yet.\n"
              "Nothing has been removed.",
              "Vantorel Uninstall", MB_OK | MB_ICONINFORMATION);
  return 0;
}
