// The banner link at the top left of every wizard page: a window class that
// shows bitmap 125, frames it in blue while the mouse is over it, shows the
// address in a tooltip and opens it in a browser when clicked.
#ifndef VANTOREL_HYPERLINK_HYPERLINK_CONTROL_H
#define VANTOREL_HYPERLINK_HYPERLINK_CONTROL_H

#include <windows.h>

// Registers HYPERLINK_CLASS_NAME for InstallSettings' InstanceHandle, with
// cursor 126 of that module. False when no class was registered (also when
// it already was).
bool RegisterHyperlinkClass();

// Copies `bitmap` at its own size to (x, y) of `dc`.
void DrawBitmap(int x, int y, HDC dc, HBITMAP bitmap);

#endif
