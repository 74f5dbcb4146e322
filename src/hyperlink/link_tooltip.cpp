#include "hyperlink/link_tooltip.h"

#include <commctrl.h>

bool LinkTooltip::Create(HINSTANCE instance, HWND owner) {
  window_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance,
                            nullptr);
  return window_ != nullptr;
}

bool LinkTooltip::AddTool(HWND window, const char* text) {
  // The first form of TOOLINFOA, which every comctl32 version reads.
  TOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  if (!GetClientRect(window, &tool.rect)) return false;
  tool.lpszText = const_cast<char*>(text);
  return SendMessageA(window_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}
