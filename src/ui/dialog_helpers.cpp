#include "ui/dialog_helpers.h"

bool SetDialogIcon(HWND window, int iconId) {
  if (!IsWindow(window)) return false;
  HINSTANCE instance =
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  HANDLE small = LoadImageA(instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16,
                            LR_DEFAULTCOLOR);
  if (small) SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  HICON big = LoadIconA(instance, MAKEINTRESOURCEA(iconId));
  if (big) SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  return true;
}

bool IsWindowsNT() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
