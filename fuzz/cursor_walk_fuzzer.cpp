// The choice of the window under the cursor, for fuzzed rectangles (any
// 32-bit coordinates, inverted and empty ones included), visibility and
// parents, against a reference that computes areas exactly in 128 bits:
// the result is the window of least area among the hit and the following
// windows that contain the point, share the hit's parent and are visible,
// the first one met on equal areas; a hit without a parent is taken as it is.
//
// Input: the point (x, y as two little-endian 32-bit integers), then up to 64
// windows of 17 bytes each: left, top, right, bottom, and a flag byte (bit 0:
// visible; bit 1: has the hit's parent; bit 2: has some other parent). The
// first window is the hit.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/window_under_cursor.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/mini_desktop.h"

namespace {

using taldoris::Hwnd;
using taldoris::Point;
using taldoris::Rect;

constexpr Hwnd kParent = 0x500;
constexpr Hwnd kOtherParent = 0x600;

struct Sibling {
  Rect rect;
  bool visible = false;
  Hwnd parent = 0;
};

Hwnd HandleOf(std::size_t index) { return static_cast<Hwnd>(0x1000 + 0x10 * index); }

class SiblingDesktop : public taldoris_fuzz::MiniDesktop {
 public:
  std::vector<Sibling> siblings;
  int nextQueries = 0;

  Hwnd WindowFromPoint(Point) override { return siblings.empty() ? 0 : HandleOf(0); }
  Hwnd GetParent(Hwnd hwnd) override {
    const Sibling* s = Find(hwnd);
    return s != nullptr ? s->parent : 0;
  }
  Hwnd GetWindow(Hwnd hwnd, std::uint32_t cmd) override {
    ++nextQueries;
    const long i = IndexOf(hwnd);
    if (cmd != taldoris::GW_HWNDNEXT_CMD || i < 0) return 0;
    return static_cast<std::size_t>(i) + 1 < siblings.size() ? HandleOf(i + 1) : 0;
  }
  bool GetWindowRect(Hwnd hwnd, Rect* rect) override {
    const Sibling* s = Find(hwnd);
    if (s == nullptr) return false;
    *rect = s->rect;
    return true;
  }
  bool PtInRect(const Rect& r, Point p) override {
    return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
  }
  bool IsWindowVisible(Hwnd hwnd) override {
    const Sibling* s = Find(hwnd);
    return s != nullptr && s->visible;
  }

 private:
  long IndexOf(Hwnd hwnd) const {
    for (std::size_t i = 0; i < siblings.size(); ++i) {
      if (HandleOf(i) == hwnd) return static_cast<long>(i);
    }
    return -1;
  }
  const Sibling* Find(Hwnd hwnd) const {
    const long i = IndexOf(hwnd);
    return i < 0 ? nullptr : &siblings[static_cast<std::size_t>(i)];
  }
};

std::int32_t Int32At(const std::uint8_t* p) {
  const std::uint32_t u = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                          (static_cast<std::uint32_t>(p[2]) << 16) |
                          (static_cast<std::uint32_t>(p[3]) << 24);
  std::int32_t v;
  std::memcpy(&v, &u, sizeof v);
  return v;
}

__int128 ExactArea(const Rect& r) {
  return static_cast<__int128>(static_cast<std::int64_t>(r.bottom) - r.top) *
         static_cast<__int128>(static_cast<std::int64_t>(r.right) - r.left);
}

bool Contains(const Rect& r, Point p) {
  return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
}

Hwnd Reference(const std::vector<Sibling>& s, Point p) {
  if (s.empty()) return 0;
  if (s[0].parent == 0) return HandleOf(0);
  std::size_t best = 0;
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (Contains(s[i].rect, p) && s[i].parent == s[0].parent && s[i].visible &&
        ExactArea(s[i].rect) < ExactArea(s[best].rect)) {
      best = i;
    }
  }
  return HandleOf(best);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  const Point p{Int32At(data), Int32At(data + 4)};
  SiblingDesktop desk;
  for (std::size_t at = 8; at + 17 <= size && desk.siblings.size() < 64; at += 17) {
    Sibling s;
    s.rect = Rect{Int32At(data + at), Int32At(data + at + 4), Int32At(data + at + 8),
                  Int32At(data + at + 12)};
    const std::uint8_t flags = data[at + 16];
    s.visible = (flags & 1) != 0;
    s.parent = (flags & 2) != 0 ? kParent : ((flags & 4) != 0 ? kOtherParent : 0);
    desk.siblings.push_back(s);
  }

  const Hwnd chosen = taldoris::WindowAtPoint(desk, p);
  FUZZ_CHECK(chosen == Reference(desk.siblings, p));
  // A hit with a parent is followed by a walk over every window after it.
  if (!desk.siblings.empty() && desk.siblings[0].parent != 0) {
    FUZZ_CHECK(desk.nextQueries == static_cast<int>(desk.siblings.size()));
  } else {
    FUZZ_CHECK(desk.nextQueries == 0);
  }
  return 0;
}
