/* A stand-in for a program that is not built yet: it says so and ends.
   vtpack packs it as the setup program or the uninstaller until the real
   one exists (STANDIN_ROLE names which). */
#include <windows.h>

#ifndef STANDIN_ROLE
#define STANDIN_ROLE "program"
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    MessageBoxA(NULL, "This build of Vantorel has no " STANDIN_ROLE " yet: this is a stand-in.",
                "Vantorel", MB_OK | MB_ICONINFORMATION);
    return 0;
}
