// The fake desktop itself: the few platform rules the other tests rely on.
#include "tests/fake_desktop.h"

#include <gtest/gtest.h>

namespace taldoris {
namespace {

using fake::FakeDesktop;
using fake::WindowSpec;

TEST(FakeDesktop, ZOrderParentsOwnersAndVisibility) {
  FakeDesktop d;
  WindowSpec spec;
  spec.rect = Rect{0, 0, 100, 100};
  const Hwnd top = d.AddTopLevel(spec);
  const Hwnd below = d.AddTopLevel(spec);
  spec.owner = top;
  const Hwnd popup = d.AddTopLevel(spec);
  spec.owner = 0;
  const Hwnd child = d.AddChild(below, spec);
  const Hwnd grandchild = d.AddChild(child, spec);

  EXPECT_EQ(d.FindWindowExA(0, 0, nullptr, nullptr), top);
  EXPECT_EQ(d.FindWindowExA(0, top, nullptr, nullptr), below);
  EXPECT_EQ(d.FindWindowExA(0, popup, nullptr, nullptr), 0u);
  EXPECT_EQ(d.GetWindow(top, GW_HWNDNEXT_CMD), below);
  EXPECT_EQ(d.GetWindow(child, GW_HWNDNEXT_CMD), 0u);
  EXPECT_EQ(d.GetParent(child), below);
  EXPECT_EQ(d.GetParent(popup), top);
  EXPECT_EQ(d.GetParent(top), 0u);

  d.SetVisible(below, false);
  EXPECT_FALSE(d.IsWindowVisible(grandchild));
  d.SetVisible(below, true);
  EXPECT_TRUE(d.IsWindowVisible(grandchild));

  d.Destroy(below);
  EXPECT_FALSE(d.Exists(grandchild));
  EXPECT_EQ(d.FindWindowExA(0, below, nullptr, nullptr), 0u) << "after a gone window";
  EXPECT_EQ(d.FindWindowExA(0, top, nullptr, nullptr), popup);
}

TEST(FakeDesktop, WindowFromPointSkipsHiddenWindowsAndDisabledChildren) {
  FakeDesktop d;
  WindowSpec spec;
  spec.rect = Rect{0, 0, 100, 100};
  spec.visible = false;
  d.AddTopLevel(spec);
  spec.visible = true;
  const Hwnd frame = d.AddTopLevel(spec);
  spec.enabled = false;
  spec.rect = Rect{10, 10, 20, 20};
  d.AddChild(frame, spec);
  EXPECT_EQ(d.WindowFromPoint(Point{15, 15}), frame);
  EXPECT_EQ(d.WindowFromPoint(Point{100, 15}), 0u);
}

}  // namespace
}  // namespace taldoris
