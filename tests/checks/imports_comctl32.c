/* Imports COMCTL32.dll: a Windows system DLL, but not a KnownDLL, so the
   strict check for the setup program must reject it. */
#include <windows.h>
#include <commctrl.h>

int main(void) {
  InitCommonControls();
  return 0;
}
