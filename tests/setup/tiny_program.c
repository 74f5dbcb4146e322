/* A program that does nothing: installed over by the version-rule test, as
   it is (no version resource) and with versioned.rc (version 2.0.0.0). */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  return 0;
}
