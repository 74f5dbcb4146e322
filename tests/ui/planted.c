/* A DLL that a downloads folder might hold next to the setup program: the
   hardened search must never load it by its bare name. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}
