// Timed notice boxes: the owner is looked up anew among the tool's own
// windows (within a second), the box closes itself after five seconds.
#include <gtest/gtest.h>

#include <string>

#include "core/notice.h"
#include "tests/fake_desktop.h"

namespace taldoris {
namespace {

using fake::BoxRecord;
using fake::FakeDesktop;
using fake::Op;
using fake::WindowSpec;

class NoticeTest : public ::testing::Test {
 protected:
  Hwnd Add(ProcessId pid, bool visible) {
    WindowSpec spec;
    spec.pid = pid;
    spec.visible = visible;
    return desktop.AddTopLevel(spec);
  }
  FakeDesktop desktop;
};

TEST_F(NoticeTest, OwnedByTheFirstVisibleWindowOfTheToolWithFiveSecondTimeout) {
  Add(4242, true);                      // a foreign window above the tool
  Add(desktop.currentPid, false);       // a hidden window of the tool
  const Hwnd main = Add(desktop.currentPid, true);
  ShowNotice(desktop, "text", "caption", MB_ICONINFORMATION_TYPE);
  ASSERT_EQ(desktop.boxes.size(), 1u);
  const BoxRecord& box = desktop.boxes[0];
  EXPECT_EQ(box.owner, main);
  EXPECT_EQ(box.text, "text");
  EXPECT_EQ(box.caption, "caption");
  EXPECT_EQ(box.type, 64u);
  EXPECT_EQ(box.language, 0);
  EXPECT_EQ(box.timeoutMs, 5000u);
  EXPECT_EQ(desktop.OpenBoxes(), 0) << "returns when the box has closed";
}

TEST_F(NoticeTest, OwnerIsLookedUpAnewForEveryNotice) {
  const Hwnd main = Add(desktop.currentPid, true);
  ShowNotice(desktop, "one", "c", MB_ICONERROR_TYPE);
  const Hwnd other = Add(desktop.currentPid, true);
  desktop.BringToTop(other);
  ShowNotice(desktop, "two", "c", MB_ICONERROR_TYPE);
  desktop.Destroy(other);
  desktop.Destroy(main);
  desktop.tickPerPeek = 1;
  ShowNotice(desktop, "three", "c", MB_ICONERROR_TYPE);
  ASSERT_EQ(desktop.boxes.size(), 3u);
  EXPECT_EQ(desktop.boxes[0].owner, main);
  EXPECT_EQ(desktop.boxes[1].owner, other);
  EXPECT_EQ(desktop.boxes[2].owner, 0u);
  EXPECT_EQ(desktop.Calls(Op::GetCurrentProcessId), 3);
}

TEST_F(NoticeTest, NoOwnerWithinASecondShowsTheBoxWithoutOwner) {
  Add(4242, true);
  Add(desktop.currentPid, false);
  desktop.tickPerPeek = 7;  // each pump costs 7 ms
  const std::uint32_t start = desktop.tick;
  std::uint32_t shownAt = 0;
  desktop.whileBoxOpen = [&](const BoxRecord&) { shownAt = desktop.tick; };
  ShowNotice(desktop, "t", "c", MB_ICONERROR_TYPE);
  ASSERT_EQ(desktop.boxes.size(), 1u);
  EXPECT_EQ(desktop.boxes[0].owner, 0u);
  EXPECT_GE(shownAt - start, 1000u);
  EXPECT_LT(shownAt - start, 1000u + 7u);
  EXPECT_EQ(desktop.boxes[0].timeoutMs, 5000u);
}

TEST_F(NoticeTest, WindowOfTheToolShownDuringTheSearchBecomesTheOwner) {
  const Hwnd main = Add(desktop.currentPid, false);
  desktop.tickPerPeek = 10;
  desktop.onCall = [&](Op op, Hwnd) {
    if (op == Op::PeekMessage && desktop.tick >= 1000 + 500) desktop.SetVisible(main, true);
  };
  ShowNotice(desktop, "t", "c", MB_ICONERROR_TYPE);
  ASSERT_EQ(desktop.boxes.size(), 1u);
  EXPECT_EQ(desktop.boxes[0].owner, main);
}

TEST_F(NoticeTest, NoticeOpenedWhileAnotherIsOpenIsOwnedByTheOpenOne) {
  const Hwnd main = Add(desktop.currentPid, true);
  desktop.whileBoxOpen = [&](const BoxRecord& box) {
    if (box.depth == 1) ShowNotice(desktop, "second", "c", MB_ICONERROR_TYPE);
  };
  ShowNotice(desktop, "first", "c", MB_ICONERROR_TYPE);
  ASSERT_EQ(desktop.boxes.size(), 2u);
  EXPECT_EQ(desktop.boxes[0].owner, main);
  EXPECT_EQ(desktop.boxes[1].text, "second");
  EXPECT_EQ(desktop.boxes[1].depth, 2);
  EXPECT_EQ(desktop.boxes[1].owner, desktop.boxes[0].boxWindow);
  EXPECT_EQ(desktop.OpenBoxes(), 0);
}

}  // namespace
}  // namespace taldoris
