#include "hyperlink/hyperlink_control.h"

#include "hyperlink/browser_launch.h"
#include "hyperlink/hyperlink_address.h"
#include "hyperlink/hyperlink_resources.h"
#include "hyperlink/link_tooltip.h"
#include "state/install_settings.h"

namespace {

const UINT_PTR kHoverTimer = 1;
const UINT kHoverPollMs = 100;
const COLORREF kFrameColour = RGB(0, 0, 255);

// One flag for every link control: only one page, and so one link, shows
// at a time.
bool HoverActive = false;
LinkTooltip Tooltip;

HBITMAP LoadBanner() {
  return LoadBitmapA(Settings.InstanceHandle, MAKEINTRESOURCEA(IDB_HYPERLINK));
}

// The control takes the picture's pixel size, whatever its template says.
void FitToBanner(HWND control) {
  HBITMAP banner = LoadBanner();
  BITMAP size;
  if (banner != nullptr && GetObjectA(banner, sizeof size, &size) != 0) {
    SetWindowPos(control, nullptr, 0, 0, size.bmWidth, size.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
  }
  if (banner != nullptr) DeleteObject(banner);
}

void Paint(HWND control) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(control, &paint);
  HBITMAP banner = LoadBanner();
  if (banner != nullptr) {
    DrawBitmap(0, 0, dc, banner);
    DeleteObject(banner);
  }
  if (HoverActive) {
    RECT client;
    GetClientRect(control, &client);
    HPEN pen = CreatePen(PS_SOLID, 0, kFrameColour);
    HGDIOBJ previousPen = SelectObject(dc, pen);
    HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, client.left, client.top, client.right, client.bottom);
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(pen);
  }
  EndPaint(control, &paint);
}

// Hovering needs no mouse-leave tracking: the first move starts a poll of
// the cursor, which ends (and repaints) once the cursor has left.
void StartHover(HWND control) {
  if (HoverActive) return;
  HoverActive = true;
  SetTimer(control, kHoverTimer, kHoverPollMs, nullptr);
  InvalidateRect(control, nullptr, FALSE);
}

void PollHover(HWND control) {
  POINT cursor;
  RECT window;
  GetCursorPos(&cursor);
  GetWindowRect(control, &window);
  if (PtInRect(&window, cursor)) return;
  HoverActive = false;
  KillTimer(control, kHoverTimer);
  InvalidateRect(control, nullptr, FALSE);
}

// Where the cursor is now, not where the message says: a button pressed
// over the link and released elsewhere opens nothing.
void OpenOnRelease(HWND control) {
  POINT cursor;
  RECT client;
  GetCursorPos(&cursor);
  ScreenToClient(control, &cursor);
  GetClientRect(control, &client);
  if (PtInRect(&client, cursor)) LaunchBrowser(HyperlinkAddress, SW_SHOWNORMAL);
}

LRESULT CALLBACK HyperlinkWndProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FitToBanner(control);
      Tooltip.Create(Settings.InstanceHandle, control);
      Tooltip.AddTool(control, HyperlinkAddress);
      return 0;
    case WM_PAINT:
      Paint(control);
      return 0;
    case WM_MOUSEMOVE:
      StartHover(control);
      return 0;
    case WM_TIMER:
      PollHover(control);
      return 0;
    case WM_LBUTTONUP:
      OpenOnRelease(control);
      return 0;
  }
  return DefWindowProcA(control, message, wParam, lParam);
}

}  // namespace

bool RegisterHyperlinkClass() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = HyperlinkWndProc;
  windowClass.hInstance = Settings.InstanceHandle;
  windowClass.hCursor =
      LoadCursorA(Settings.InstanceHandle, MAKEINTRESOURCEA(IDC_HYPERLINK_CURSOR));
  windowClass.lpszClassName = HYPERLINK_CLASS_NAME;
  return RegisterClassA(&windowClass) != 0;
}

void DrawBitmap(int x, int y, HDC dc, HBITMAP bitmap) {
  BITMAP size;
  if (GetObjectA(bitmap, sizeof size, &size) == 0) return;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(dc, x, y, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
}
