// The window under the mouse cursor, by the rule of the smallest visible
// following sibling that contains the point.
#pragma once

#include "base/window_system.h"

namespace taldoris {

// 0 when there is no window at the point.
Hwnd WindowAtPoint(WindowSystem& ws, Point p);
// WindowAtPoint of the cursor position; 0 when the position cannot be read.
Hwnd WindowUnderCursor(WindowSystem& ws);

}  // namespace taldoris
