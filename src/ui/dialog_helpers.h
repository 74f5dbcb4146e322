// Small window utilities shared by the setup program's dialogs.
#ifndef VANTOREL_UI_DIALOG_HELPERS_H
#define VANTOREL_UI_DIALOG_HELPERS_H

#include <windows.h>

// Gives `window` the icon resource `iconId` of the window's own module, as
// its small (16 x 16) and its big icon. False only when `window` is not a
// window; an icon that cannot be loaded is left out.
bool SetDialogIcon(HWND window, int iconId);

// Moves `window` (keeping its size, z order and activation) so that its
// centre is that of `reference`. False when either rectangle cannot be read
// or the move fails.
bool CentreWindow(HWND reference, HWND window);

// What every setup dialog does first: the setup icon, and the setup caption
// in place of the template's placeholder.
void InitialiseSetupDialog(HWND dialog);

// Formats the control's template text (at most 99 characters are read)
// with `first` and `second` for its "%s", and shows the result.
void FillTemplateText(HWND dialog, int controlId, const char* first, const char* second = "");

#endif
