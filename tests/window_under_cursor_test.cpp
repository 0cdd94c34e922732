// The window under the cursor: the smallest visible following window of the
// hit's parent (or owner) that contains the point.
#include <gtest/gtest.h>

#include <vector>

#include "core/window_under_cursor.h"
#include "tests/allocation_counter.h"
#include "tests/fake_desktop.h"

namespace taldoris {
namespace {

using fake::FakeDesktop;
using fake::Op;
using fake::WindowSpec;

constexpr Point kP{150, 150};

Rect Square(std::int32_t left, std::int32_t top, std::int32_t size) {
  return Rect{left, top, left + size, top + size};
}

class WindowAtPointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowSpec spec;
    spec.pid = 500;
    spec.rect = Rect{0, 0, 800, 600};
    frame = desktop.AddTopLevel(spec);
  }
  Hwnd Child(Rect rect, bool visible = true, bool enabled = true) {
    WindowSpec spec;
    spec.rect = rect;
    spec.visible = visible;
    spec.enabled = enabled;
    return desktop.AddChild(frame, spec);
  }
  // The hit is named by the platform; the rule is what follows it.
  Hwnd At(Hwnd hit, Point p = kP) {
    desktop.windowFromPointOverride = hit;
    return WindowAtPoint(desktop, p);
  }
  FakeDesktop desktop;
  Hwnd frame = 0;
};

TEST_F(WindowAtPointTest, TopLevelWindowWithoutParentIsTakenAsIs) {
  // A smaller top-level window below it that contains the point is not looked at.
  WindowSpec spec;
  spec.rect = Square(100, 100, 100);
  desktop.AddTopLevel(spec);
  EXPECT_EQ(WindowAtPoint(desktop, kP), frame) << "the platform's own hit";
  EXPECT_EQ(desktop.Calls(Op::GetWindow), 0);
}

TEST_F(WindowAtPointTest, ChildWindowIsTheResultNotItsTopLevelWindow) {
  const Hwnd button = Child(Square(100, 100, 200));
  Child(Square(600, 400, 50));  // elsewhere
  EXPECT_EQ(WindowAtPoint(desktop, kP), button);
}

TEST_F(WindowAtPointTest, HitThatIsLastAtItsLevel) {
  Child(Square(100, 100, 50));  // above the hit: never a candidate
  const Hwnd hit = Child(Square(50, 50, 200));
  EXPECT_EQ(At(hit), hit);
}

TEST_F(WindowAtPointTest, SmallestFollowingWindowWinsInEitherOrder) {
  {
    const Hwnd hit = Child(Square(50, 50, 200));
    Child(Square(100, 100, 100));
    const Hwnd smallest = Child(Square(125, 125, 50));
    EXPECT_EQ(At(hit), smallest);
  }
  {
    const Hwnd hit = Child(Square(50, 50, 200));
    const Hwnd smallest = Child(Square(125, 125, 50));
    Child(Square(100, 100, 100));
    EXPECT_EQ(At(hit), smallest);
  }
}

TEST_F(WindowAtPointTest, EdgeCasesOfOneFollowingWindow) {
  struct Case {
    const char* what;
    Rect rect;
    bool visible;
    bool enabled;
    bool chosen;
  } const cases[] = {
      {"smaller, visible", Square(100, 100, 100), true, true, true},
      {"same area as the hit", Rect{0, 100, 400, 200}, true, true, false},
      {"larger", Square(0, 0, 300), true, true, false},
      {"smaller but hidden", Square(100, 100, 100), false, true, false},
      {"smaller, disabled but visible", Square(100, 100, 100), true, false, true},
      {"right edge on the point", Rect{50, 100, 150, 200}, true, true, false},
      {"bottom edge on the point", Rect{100, 50, 200, 150}, true, true, false},
      {"left edge on the point", Rect{150, 100, 250, 200}, true, true, true},
      {"top edge on the point", Rect{100, 150, 200, 250}, true, true, true},
      {"not containing the point", Square(300, 300, 10), true, true, false},
  };
  for (const Case& c : cases) {
    const Hwnd hit = Child(Square(50, 50, 200));  // area 40000
    const Hwnd next = Child(c.rect, c.visible, c.enabled);
    EXPECT_EQ(At(hit), c.chosen ? next : hit) << c.what;
    desktop.Destroy(hit);
    desktop.Destroy(next);
  }
}

TEST_F(WindowAtPointTest, HiddenParentHidesAFollowingWindow) {
  // Visibility counts the ancestors: under a hidden parent nothing qualifies.
  const Hwnd hit = Child(Square(50, 50, 200));
  Child(Square(100, 100, 100));
  desktop.SetVisible(frame, false);
  EXPECT_EQ(At(hit), hit);
}

TEST_F(WindowAtPointTest, EqualAreasTheFirstMetWins) {
  const Hwnd hit = Child(Square(50, 50, 200));
  const Hwnd first = Child(Square(100, 100, 100));
  Child(Square(120, 120, 100));
  EXPECT_EQ(At(hit), first);
}

TEST_F(WindowAtPointTest, SmallerWindowAboveTheHitIsNeverChosen) {
  Child(Square(140, 140, 20));
  const Hwnd hit = Child(Square(50, 50, 200));
  Child(Square(100, 100, 150));
  const Hwnd below = Child(Square(100, 100, 100));
  EXPECT_EQ(At(hit), below);
}

TEST_F(WindowAtPointTest, TheHitItselfIsNeverTested) {
  // Hidden, not containing the point, tiny: still the starting best.
  const Hwnd hit = Child(Square(600, 500, 2), false);
  Child(Square(100, 100, 100));  // larger than the hit: not chosen
  EXPECT_EQ(At(hit), hit);
  EXPECT_EQ(desktop.Calls(Op::IsWindowVisible), 1) << "only the following window";

  const Hwnd big = Child(Square(600, 500, 90), false);
  const Hwnd smaller = Child(Square(140, 140, 20));
  EXPECT_EQ(At(big), smaller);
}

TEST_F(WindowAtPointTest, OwnedPopupWalksTheTopLevelWindowsWithTheSameOwner) {
  WindowSpec spec;
  spec.owner = frame;
  spec.rect = Square(0, 0, 400);
  const Hwnd popup = desktop.AddTopLevel(spec);
  desktop.BringToTop(popup);
  spec.rect = Square(100, 100, 60);
  spec.owner = 0;
  desktop.AddTopLevel(spec);  // unowned: fails the parent test
  spec.owner = 0xBAD0;
  desktop.AddTopLevel(spec);  // other owner
  spec.rect = Square(100, 100, 100);
  spec.owner = frame;
  const Hwnd sibling = desktop.AddTopLevel(spec);
  EXPECT_EQ(desktop.WindowFromPoint(kP), popup) << "the platform hits the popup";
  EXPECT_EQ(WindowAtPoint(desktop, kP), sibling);
}

TEST_F(WindowAtPointTest, ConditionsAreTestedInOrderAndTheWalkVisitsEveryFollowingWindow) {
  const Hwnd hit = Child(Square(50, 50, 200));
  const Hwnd outside = Child(Square(400, 400, 10));
  const Hwnd hidden = Child(Square(100, 100, 100), false);
  const Hwnd larger = Child(Square(0, 0, 300));
  const Hwnd winner = Child(Square(100, 100, 100));
  const Hwnd last = Child(Square(140, 140, 100));  // same area as winner: stays
  desktop.logCalls = true;
  EXPECT_EQ(At(hit), winner);

  std::vector<std::pair<Op, Hwnd>> calls;
  for (const auto& c : desktop.callLog) calls.emplace_back(c.op, c.hwnd);
  const std::vector<std::pair<Op, Hwnd>> expected = {
      {Op::WindowFromPoint, 0}, {Op::GetWindowRect, hit}, {Op::GetParent, hit},
      {Op::GetWindow, hit},
      {Op::GetWindowRect, outside}, {Op::PtInRect, 0},
      {Op::GetWindow, outside},
      {Op::GetWindowRect, hidden}, {Op::PtInRect, 0}, {Op::GetParent, hidden},
      {Op::IsWindowVisible, hidden},
      {Op::GetWindow, hidden},
      {Op::GetWindowRect, larger}, {Op::PtInRect, 0}, {Op::GetParent, larger},
      {Op::IsWindowVisible, larger},
      {Op::GetWindow, larger},
      {Op::GetWindowRect, winner}, {Op::PtInRect, 0}, {Op::GetParent, winner},
      {Op::IsWindowVisible, winner}, {Op::GetWindowRect, winner},
      {Op::GetWindow, winner},
      {Op::GetWindowRect, last}, {Op::PtInRect, 0}, {Op::GetParent, last},
      {Op::IsWindowVisible, last},
      {Op::GetWindow, last},
  };
  EXPECT_EQ(calls.size(), expected.size());
  for (std::size_t i = 0; i < std::min(calls.size(), expected.size()); ++i) {
    EXPECT_EQ(calls[i], expected[i]) << "call " << i << ": " << fake::OpName(calls[i].first)
                                     << " expected " << fake::OpName(expected[i].first);
  }
}

TEST_F(WindowAtPointTest, ParentTestUsesWhatGetParentReports) {
  // A following window that is gone by the time it is examined fails the
  // parent test, and the walk ends there.
  const Hwnd hit = Child(Square(50, 50, 200));
  const Hwnd vanishing = Child(Square(100, 100, 100));
  const Hwnd after = Child(Square(140, 140, 20));
  desktop.onCall = [&](Op op, Hwnd) {
    if (op == Op::PtInRect) desktop.Destroy(vanishing);
  };
  EXPECT_EQ(At(hit), hit);
  EXPECT_TRUE(desktop.Exists(after));
}

TEST_F(WindowAtPointTest, AreasAreComparedWithoutOverflow) {
  // 140000 x 140000 does not fit in 32 bits (it would wrap to a negative).
  const Hwnd hit = Child(Rect{-70000, -70000, 70000, 70000});
  const Hwnd small = Child(Square(100, 100, 100));
  EXPECT_EQ(At(hit), small);
}

TEST_F(WindowAtPointTest, NoWindowAtThePoint) {
  EXPECT_EQ(WindowAtPoint(desktop, Point{5000, 5000}), 0u);
  EXPECT_EQ(desktop.Calls(Op::GetWindowRect), 0);
}

TEST_F(WindowAtPointTest, NothingIsAllocatedPerSibling) {
  const Hwnd hit = Child(Square(50, 50, 200));
  for (int i = 0; i < 100; ++i) Child(Square(100, 100, 150 - i), i % 3 != 0);
  desktop.windowFromPointOverride = hit;
  const std::uint64_t before = fake::AllocationCount();
  const Hwnd found = WindowAtPoint(desktop, kP);
  const std::uint64_t allocations = fake::AllocationCount() - before;
  EXPECT_NE(found, hit);
  EXPECT_EQ(desktop.Calls(Op::GetWindow), 101);
  EXPECT_EQ(allocations, 0u);
}

TEST(WindowUnderCursor, ReadsTheCursorAndAppliesTheRule) {
  FakeDesktop desktop;
  WindowSpec spec;
  spec.rect = Rect{0, 0, 800, 600};
  const Hwnd frame = desktop.AddTopLevel(spec);
  spec.rect = Rect{10, 10, 110, 40};
  const Hwnd button = desktop.AddChild(frame, spec);
  desktop.cursor = Point{20, 20};
  EXPECT_EQ(WindowUnderCursor(desktop), button);
  desktop.cursor = Point{500, 500};
  EXPECT_EQ(WindowUnderCursor(desktop), frame);
  desktop.cursor = Point{900, 900};
  EXPECT_EQ(WindowUnderCursor(desktop), 0u);
}

TEST(WindowUnderCursor, UnreadableCursorGivesNoWindow) {
  FakeDesktop desktop;
  WindowSpec spec;
  spec.rect = Rect{-10000, -10000, 10000, 10000};
  desktop.AddTopLevel(spec);
  desktop.cursorReadable = false;
  EXPECT_EQ(WindowUnderCursor(desktop), 0u);
  EXPECT_EQ(desktop.Calls(Op::WindowFromPoint), 0);
}

}  // namespace
}  // namespace taldoris
