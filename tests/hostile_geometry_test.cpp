// Window rectangles are whatever other programs make of them: as large as
// the coordinates go, inverted, or empty. The cursor walk compares their
// areas without overflowing and still takes the smallest window that
// contains the point.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "core/window_under_cursor.h"
#include "tests/fake_desktop.h"
#include "tests/hostile_desktop.h"

namespace taldoris {
namespace {

using fake::WindowSpec;
using hostile::HostileDesktop;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

constexpr Hwnd kParent = 0x800;
constexpr Hwnd kHit = 0x810;
constexpr Hwnd kSibling = 0x820;

struct GeometryCase {
  const char* label;
  Rect sibling;   // the window after the hit, at its level
  Rect hitRect;   // what GetWindowRect reports for the hit
  Hwnd expected;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const GeometryCase& c, std::ostream* os) { *os << c.label; }

class HostileGeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(HostileGeometryTest, SmallestContainingWindowWithoutOverflow) {
  const GeometryCase& c = GetParam();
  HostileDesktop d;
  WindowSpec parent;
  parent.hwnd = kParent;
  parent.pid = 0x2000;
  parent.rect = Rect{kMin, kMin, kMax, kMax};
  d.AddTopLevel(parent);
  WindowSpec child;
  child.hwnd = kHit;
  child.rect = c.hitRect;
  d.AddChild(kParent, child);
  child.hwnd = kSibling;
  child.rect = c.sibling;
  d.AddChild(kParent, child);
  // The hit is named by the window system, whatever its rectangle says.
  d.windowFromPointOverride = kHit;

  EXPECT_EQ(WindowAtPoint(d, Point{0, 0}), c.expected);
}

const auto kCaseName = [](const ::testing::TestParamInfo<GeometryCase>& info) {
  return std::string(info.param.label);
};

INSTANTIATE_TEST_SUITE_P(
    Rectangles, HostileGeometryTest,
    ::testing::Values(
        GeometryCase{"LargeWindowsOfScreenSize", Rect{-4000, -4000, 4000, 4000},
                     Rect{-8000, -8000, 8000, 8000}, kSibling},
        GeometryCase{"InvertedWindowNeverContainsThePoint", Rect{50, 50, -50, -50},
                     Rect{-100, -100, 100, 100}, kHit},
        GeometryCase{"EmptyWindowNeverContainsThePoint", Rect{0, 0, 0, 0},
                     Rect{-100, -100, 100, 100}, kHit},
        GeometryCase{"OnePixelWindow", Rect{0, 0, 1, 1}, Rect{-1, -1, 1, 1}, kSibling},
        // An inverted hit has a negative area: nothing that contains the
        // point is smaller.
        GeometryCase{"InvertedHit", Rect{-50, -50, 50, 50}, Rect{100, -100, -100, 100}, kHit}),
    kCaseName);

// Rectangles that span (almost) the whole coordinate range: width and height
// each reach 2^32 - 1, so their product does not fit in 64 signed bits. A
// walk that multiplies in std::int64_t overflows here: the hit's area wraps to
// a negative number, the small window below it is not taken, and the
// sanitizer build reports the signed overflow.
INSTANTIATE_TEST_SUITE_P(
    WholeCoordinateRange, HostileGeometryTest,
    ::testing::Values(
        GeometryCase{"SmallWindowBelowAWholePlaneHit", Rect{-50, -50, 50, 50},
                     Rect{kMin, kMin, kMax, kMax}, kSibling},
        GeometryCase{"WholePlaneWindowBelowASmallHit", Rect{kMin, kMin, kMax, kMax},
                     Rect{-50, -50, 50, 50}, kHit},
        GeometryCase{"TwoWholePlaneWindows", Rect{kMin, kMin, kMax, kMax},
                     Rect{kMin, kMin, kMax, kMax}, kHit},
        GeometryCase{"AlmostWholePlaneBelowWholePlane", Rect{kMin + 1, kMin, kMax, kMax},
                     Rect{kMin, kMin, kMax, kMax}, kSibling}),
    kCaseName);

}  // namespace
}  // namespace taldoris
