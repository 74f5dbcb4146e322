// The mouse, driven through the system's input queue as the user's hand
// drives it: the window under the pointer gets the messages.
#include "robot/robot.h"

namespace robot {
namespace {

bool SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  return SendInput(1, &input, sizeof input) == 1;
}

// Absolute input coordinates run from 0 to 65535 across the screen; this
// rounds up, so that the pixel they map back to is `pixel` itself.
LONG Normalised(LONG pixel, int screenSize) {
  return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + screenSize - 1) / screenSize);
}

}  // namespace

bool MoveMouseTo(POINT point) {
  if (!SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                 Normalised(point.x, GetSystemMetrics(SM_CXSCREEN)),
                 Normalised(point.y, GetSystemMetrics(SM_CYSCREEN)))) {
    return false;
  }
  return WaitUntil([&] {
    POINT now = {};
    return GetCursorPos(&now) && now.x == point.x && now.y == point.y;
  });
}

bool PressLeftButton() { return SendMouse(MOUSEEVENTF_LEFTDOWN); }

bool ReleaseLeftButton() { return SendMouse(MOUSEEVENTF_LEFTUP); }

POINT CentreOf(HWND window) {
  RECT area = {};
  GetWindowRect(window, &area);
  return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

}  // namespace robot
