// The wizard's four page procedures, in the sheet's order. Each writes the
// user's choices into InstallSettings.
#ifndef VANTOREL_UI_WIZARD_PAGES_H
#define VANTOREL_UI_WIZARD_PAGES_H

#include <windows.h>

// Greets the user; names the Finish button "&Install".
INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Shows LicenceText; the wizard goes on only while "I &agree" is chosen.
INT_PTR CALLBACK LicencePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// DestinationDir, typed or browsed for; asks before installing over the
// program.
INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// The three shortcut choices.
INT_PTR CALLBACK ShortcutsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

#endif
