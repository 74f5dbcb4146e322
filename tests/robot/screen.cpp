// Screen capture through a 32-bit DIB section: its bits are the pixels in
// 0x00RRGGBB order, top row first when the height is negative.
#include "robot/screen.h"

#include <cstring>

#include "robot/robot.h"

namespace robot {
namespace {

// Draws with `draw` into a fresh width x height DIB and returns its pixels.
template <typename Draw>
Image DrawIntoImage(int width, int height, Draw draw) {
  Image image;
  if (width <= 0 || height <= 0) return image;
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = -height;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  HDC memory = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (draw(memory, static_cast<uint32_t*>(bits))) {
      GdiFlush();
      image.width = width;
      image.height = height;
      image.pixels.assign(static_cast<uint32_t*>(bits),
                          static_cast<uint32_t*>(bits) + size_t(width) * size_t(height));
      for (uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  return image;
}

}  // namespace

Image CaptureScreen(const RECT& area) {
  int width = area.right - area.left;
  int height = area.bottom - area.top;
  return DrawIntoImage(width, height, [&](HDC memory, uint32_t*) {
    HDC screen = GetDC(nullptr);
    BOOL copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return copied != 0;
  });
}

Image RenderIcon(HICON icon, int width, int height, uint32_t background) {
  return DrawIntoImage(width, height, [&](HDC memory, uint32_t* bits) {
    for (size_t i = 0; i < size_t(width) * size_t(height); ++i) bits[i] = background;
    return DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL) != 0;
  });
}

namespace {

std::string SaveArea(const RECT& area, const std::string& name) {
  std::string folder = WindowsPathOf(ROBOT_SCREENSHOT_DIR);
  CreateDirectoryA(folder.c_str(), nullptr);  // may exist already
  std::string path = folder + "\\" + name;
  if (path.size() < 4 || path.compare(path.size() - 4, 4, ".png") != 0) path += ".png";
  return WritePng(path, CaptureScreen(area)) ? path : "";
}

}  // namespace

std::string SaveScreenshot(const std::string& name) {
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return SaveArea(screen, name);
}

std::string SaveWindowScreenshot(HWND window, const std::string& name) {
  RECT area;
  if (!GetWindowRect(window, &area)) return "";
  return SaveArea(area, name);
}

}  // namespace robot
