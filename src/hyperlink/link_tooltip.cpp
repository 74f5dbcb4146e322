#include "hyperlink/link_tooltip.h"

#include <commctrl.h>
#include <stddef.h>

namespace {

// The tool is described in TOOLINFOA's form that ends with lParam
// (TTTOOLINFOA_V2_SIZE); the first form (TTTOOLINFOA_V1_SIZE) ends before
// lParam, 40 bytes in 32-bit programs.
const UINT kToolInfoSize = offsetof(TOOLINFOA, lParam) + sizeof(LPARAM);
#ifndef _WIN64
static_assert(kToolInfoSize == 44, "TOOLINFOA up to lParam: 44 bytes in 32-bit programs");
#endif

}  // namespace

bool LinkTooltip::Create(HINSTANCE instance, HWND owner) {
  window_ =
      CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
  return window_ != nullptr;
}

bool LinkTooltip::AddTool(HWND window, const char* text) {
  TOOLINFOA tool = {};
  tool.cbSize = kToolInfoSize;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  if (!GetClientRect(window, &tool.rect)) return false;
  tool.lpszText = const_cast<char*>(text);
  return SendMessageA(window_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}
