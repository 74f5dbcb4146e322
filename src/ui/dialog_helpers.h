// Small window utilities shared by the setup program's dialogs.
#ifndef VANTOREL_UI_DIALOG_HELPERS_H
#define VANTOREL_UI_DIALOG_HELPERS_H

#include <windows.h>

// Gives `window` the icon resource `iconId` of the window's own module, as
// its small (16 x 16) and its big icon. False only when `window` is not a
// window; an icon that cannot be loaded is left out.
bool SetDialogIcon(HWND window, int iconId);

// True on the Windows NT family (every Windows since 2000), false on
// Windows 95, 98 and Me.
bool IsWindowsNT();

#endif
