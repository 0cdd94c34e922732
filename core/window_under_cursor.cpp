#include "core/window_under_cursor.h"

#include <cstdint>

namespace taldoris {

namespace {

// Width times height in 64 bits, so that no rectangle overflows the
// comparison.
std::int64_t Area(const Rect& r) {
  return (static_cast<std::int64_t>(r.bottom) - r.top) *
         (static_cast<std::int64_t>(r.right) - r.left);
}

}  // namespace

Hwnd WindowAtPoint(WindowSystem& ws, Point p) {
  const Hwnd hit = ws.WindowFromPoint(p);
  if (hit == 0) return 0;

  // The hit itself is never tested: it is the starting best.
  Hwnd best = hit;
  Rect bestRect;
  ws.GetWindowRect(hit, &bestRect);

  const Hwnd parent = ws.GetParent(hit);
  if (parent == 0) return hit;

  // Every window that follows the hit at its level is visited; the smallest
  // visible one of the same parent (or owner) that contains the point wins,
  // the first one met on equal areas.
  for (Hwnd cur = ws.GetWindow(hit, GW_HWNDNEXT_CMD); cur != 0;
       cur = ws.GetWindow(cur, GW_HWNDNEXT_CMD)) {
    Rect curRect;
    ws.GetWindowRect(cur, &curRect);
    if (ws.PtInRect(curRect, p) && ws.GetParent(cur) == parent && ws.IsWindowVisible(cur) &&
        Area(curRect) < Area(bestRect)) {
      best = cur;
      ws.GetWindowRect(cur, &bestRect);
    }
  }
  return best;
}

Hwnd WindowUnderCursor(WindowSystem& ws) {
  Point p;
  if (!ws.GetCursorPos(&p)) return 0;
  return WindowAtPoint(ws, p);
}

}  // namespace taldoris
