// Pixels of the screen, for screenshots and for recognising what another
// process has drawn (its GDI objects cannot be read from here).
#ifndef VANTOREL_TESTS_ROBOT_SCREEN_H
#define VANTOREL_TESTS_ROBOT_SCREEN_H

#include <windows.h>

#include "robot/png_file.h"

namespace robot {

// The screen's pixels inside `area` (screen coordinates).
Image CaptureScreen(const RECT& area);
// `icon` drawn at `width` x `height` on a plain `background` (0x00RRGGBB).
Image RenderIcon(HICON icon, int width, int height, uint32_t background);

}  // namespace robot

#endif
