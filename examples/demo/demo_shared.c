/* vtdemoshared.dll: the demo's shared library. It stands for a component
   that several applications install into the common files folder: the
   setup program counts it under SharedDLLs, so that an uninstaller removes
   it only when no application uses it any more, and replaces it at the
   next start of Windows when it is in use. */
#include <windows.h>

__declspec(dllexport) const char* WINAPI VtDemoGreeting(void) {
  return "Hello from the Vantorel Demo's shared library.";
}
