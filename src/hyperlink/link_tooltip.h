// The banner link's tooltip: one per link control, owned by it; this keeps
// the handle of the last one made. The tooltip windows go with their
// owners, so nothing is destroyed here.
#ifndef VANTOREL_HYPERLINK_LINK_TOOLTIP_H
#define VANTOREL_HYPERLINK_LINK_TOOLTIP_H

#include <windows.h>

class LinkTooltip {
 public:
  // A tooltip window (shown also while its owner is inactive) owned by
  // `owner`; replaces the handle kept. False when none was made.
  bool Create(HINSTANCE instance, HWND owner);
  // Shows `text` while the mouse rests over `window`; the tooltip watches
  // the window's mouse messages itself. False when it was not added.
  bool AddTool(HWND window, const char* text);

 private:
  HWND window_ = nullptr;
};

#endif
