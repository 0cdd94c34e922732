#include "core/cursor_probe.h"

#include <cstdint>

#include "base/text.h"
#include "core/lookup.h"
#include "core/window_under_cursor.h"

namespace taldoris {

void CursorProbe(WindowSystem& ws, ToolWindow& window) {
  const Hwnd handle = WindowUnderCursor(ws);
  const Text title = WindowTitleText(ws, handle);
  const Text framed = ConcatText("[ ", title, " ]");
  window.SetCaption6(framed);
  // The handle is shown as the signed 32-bit number it is.
  const Text id = ConcatText("ID：", DecimalText(static_cast<std::int32_t>(handle)));
  window.SetCaption8(id);
}

}  // namespace taldoris
