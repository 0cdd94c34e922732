#include "core/window_under_cursor.h"

#include <cstdint>

namespace taldoris {

namespace {

// Width times height, exactly, for any rectangle: a side spans at most
// 2^32 - 1, so the size of the product fits in 64 unsigned bits, and its sign
// is kept apart (an inverted rectangle has a negative area).
struct Area {
  bool negative;
  std::uint64_t magnitude;
};

Area AreaOf(const Rect& r) {
  const std::int64_t height = static_cast<std::int64_t>(r.bottom) - r.top;
  const std::int64_t width = static_cast<std::int64_t>(r.right) - r.left;
  const std::uint64_t h = static_cast<std::uint64_t>(height < 0 ? -height : height);
  const std::uint64_t w = static_cast<std::uint64_t>(width < 0 ? -width : width);
  const std::uint64_t magnitude = h * w;
  return Area{magnitude != 0 && ((height < 0) != (width < 0)), magnitude};
}

bool Smaller(const Area& a, const Area& b) {
  if (a.negative != b.negative) return a.negative;
  return a.negative ? a.magnitude > b.magnitude : a.magnitude < b.magnitude;
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
        Smaller(AreaOf(curRect), AreaOf(bestRect))) {
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
