// Windows of other programs may be destroyed at any moment, also between two
// platform calls of one operation. For the window search, the cursor walk,
// the probe and both conversions, the chosen window is destroyed before each
// position of the operation's call sequence in turn (found from an
// undisturbed run), and windows are destroyed as soon as they are handed out.
// Every run ends, with the outcome the rules give for that moment.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/borderless.h"
#include "core/cursor_probe.h"
#include "core/lookup.h"
#include "core/window_under_cursor.h"
#include "tests/fake_desktop.h"
#include "tests/hostile_desktop.h"

namespace taldoris {
namespace {

using fake::FakeToolWindow;
using fake::Op;
using fake::WindowSpec;
using hostile::FirstCall;
using hostile::HostileDesktop;
using hostile::NoticeNumbers;

constexpr Hwnd kTool = 0x100;
constexpr ProcessId kGamePid = 0x2000;

WindowSpec Spec(Hwnd hwnd, ProcessId pid, Rect rect, const char* title, bool visible = true) {
  WindowSpec spec;
  spec.hwnd = hwnd;
  spec.pid = pid;
  spec.rect = rect;
  spec.title = title;
  spec.visible = visible;
  return spec;
}

// --- the conversion by name: search, style change, notice ------------------

constexpr Hwnd kGameHidden = 0x210;
constexpr Hwnd kGameWindow = 0x220;

void BuildNameScene(HostileDesktop& d, FakeToolWindow& w) {
  d.tickPerGetTickCount = 1;
  d.AddTopLevel(Spec(kTool, d.currentPid, Rect{0, 0, 300, 200}, "Taldoris"));
  d.AddTopLevel(Spec(0x110, 0x3000, Rect{0, 0, 800, 600}, "Editor"));
  d.AddTopLevel(Spec(kGameHidden, kGamePid, Rect{0, 0, 10, 10}, "", false));
  d.AddTopLevel(Spec(kGameWindow, kGamePid, Rect{0, 0, 1024, 768}, "Game"));
  d.AddTopLevel(Spec(0x130, 0x3004, Rect{0, 0, 1920, 1080}, "Desktop"));
  d.AddProcess(0x3000, "editor.exe");
  d.AddProcess(kGamePid, "game.exe");
  d.AddProcess(0x3004, "explorer.exe");
  w.mainHandle = kTool;
  w.editText = Text("game.exe");
}

TEST(HostileVanishingTest, NamePathWithTheTargetDestroyedBeforeEachCall) {
  int accepted = -1, styled = -1, total = 0;
  {
    HostileDesktop d;
    FakeToolWindow w;
    BuildNameScene(d, w);
    d.logCalls = true;
    BorderlessByProcessName(d, w);
    ASSERT_EQ(NoticeNumbers(d.boxes), std::vector<int>{6});
    accepted = FirstCall(d.callLog, Op::GetWindowThreadProcessId, kGameWindow);
    styled = FirstCall(d.callLog, Op::SetWindowLong, kGameWindow);
    total = d.CallCount();
    ASSERT_GT(accepted, 0);
    ASSERT_GT(styled, accepted);
  }
  for (int k = 0; k <= total; ++k) {
    SCOPED_TRACE("destroyed before call " + std::to_string(k));
    HostileDesktop d;
    FakeToolWindow w;
    BuildNameScene(d, w);
    d.beforeCall = [&d, k](int index, Op, Hwnd) {
      if (index == k) d.Destroy(kGameWindow);
    };
    BorderlessByProcessName(d, w);
    // Gone before the search accepted it: not found. Gone after that but
    // before the change: refused. Gone after the change: converted.
    const int expected = k <= accepted ? 5 : (k <= styled ? 7 : 6);
    EXPECT_EQ(NoticeNumbers(d.boxes), std::vector<int>{expected});
    EXPECT_EQ(d.SnapshotsOpen(), 0);
    ASSERT_EQ(d.boxes.size(), 1u);
    EXPECT_EQ(d.boxes[0].owner, kTool);
  }
}

TEST(HostileVanishingTest, NamePathWhereEveryWindowHandedOutIsDestroyedAtTheNextCall) {
  HostileDesktop d;
  FakeToolWindow w;
  BuildNameScene(d, w);
  // Only the tool's own window survives.
  d.beforeCall = [&d](int, Op, Hwnd) {
    if (d.lastHandedOut != 0 && d.lastHandedOut != kTool) d.Destroy(d.lastHandedOut);
  };
  BorderlessByProcessName(d, w);
  EXPECT_EQ(NoticeNumbers(d.boxes), std::vector<int>{5});
  EXPECT_EQ(d.Calls(Op::SetWindowLong), 0);
  EXPECT_EQ(d.SnapshotsOpen(), 0);
  // Each step starts after the previous candidate, destroyed or not (a gone
  // one makes the walk start again at the top).
  for (std::size_t i = 1; i < d.findWindowAnswers.size(); ++i) {
    const Hwnd after = d.findWindowAnswers[i].first;
    EXPECT_TRUE(after == 0 || after == d.findWindowAnswers[i - 1].second) << "step " << i;
  }
}

TEST(HostileVanishingTest, SearchEndsAtItsBudgetWhileWindowsKeepVanishing) {
  HostileDesktop d;
  FakeToolWindow w;
  BuildNameScene(d, w);
  // A process that keeps opening and closing hidden windows: before every
  // step of the walk its oldest window is destroyed and a new one added at
  // the bottom.
  constexpr ProcessId kChurnPid = 0x4000;
  std::vector<Hwnd> churn;
  Hwnd next = 0x10000;
  for (int i = 0; i < 8; ++i, next += 0x10) {
    churn.push_back(d.AddTopLevel(Spec(next, kChurnPid, Rect{0, 0, 5, 5}, "churn", false)));
  }
  d.beforeCall = [&](int, Op op, Hwnd) {
    if (op != Op::FindWindowEx) return;
    d.Destroy(churn.front());
    churn.erase(churn.begin());
    churn.push_back(d.AddTopLevel(Spec(next, kChurnPid, Rect{0, 0, 5, 5}, "churn", false)));
    next += 0x10;
  };
  const std::uint32_t start = d.tick;
  EXPECT_EQ(FindVisibleWindowOfProcess(d, kChurnPid, 100), 0u);
  // The budget is tested at the start of each step; the clock moves one
  // millisecond per reading.
  EXPECT_LE(d.tick - start, 102u);
  EXPECT_GE(d.Calls(Op::FindWindowEx), 50);
}

// --- the cursor walk and the conversion by cursor ---------------------------

constexpr Hwnd kParent = 0x500;
constexpr Hwnd kHit = 0x510;
constexpr Hwnd kMiddle = 0x520;
constexpr Hwnd kSmallest = 0x530;
constexpr Hwnd kElsewhere = 0x540;

void BuildCursorScene(HostileDesktop& d, FakeToolWindow& w) {
  d.tickPerGetTickCount = 1;
  d.AddTopLevel(Spec(kTool, d.currentPid, Rect{1000, 0, 1300, 200}, "Taldoris"));
  d.AddTopLevel(Spec(kParent, kGamePid, Rect{0, 0, 400, 400}, "Game"));
  d.AddChild(kParent, Spec(kHit, 0, Rect{10, 10, 210, 210}, "hit"));          // 200 x 200
  d.AddChild(kParent, Spec(kMiddle, 0, Rect{20, 20, 120, 120}, "middle"));    // 100 x 100
  d.AddChild(kParent, Spec(kSmallest, 0, Rect{30, 30, 80, 80}, "smallest"));  // 50 x 50
  d.AddChild(kParent, Spec(kElsewhere, 0, Rect{300, 300, 310, 310}, "elsewhere"));
  d.cursor = Point{50, 50};
  w.mainHandle = kTool;
}

TEST(HostileVanishingTest, CursorWalkWithTheSmallestWindowDestroyedBeforeEachCall) {
  int decided = -1, styled = -1, total = 0;
  {
    HostileDesktop d;
    FakeToolWindow w;
    BuildCursorScene(d, w);
    d.logCalls = true;
    BorderlessByCursor(d, w, 0, 0);
    ASSERT_EQ(static_cast<std::uint32_t>(d.Style(kSmallest)), kBorderlessStyle);
    decided = FirstCall(d.callLog, Op::IsWindowVisible, kSmallest);
    styled = FirstCall(d.callLog, Op::SetWindowLong, kSmallest);
    total = d.CallCount();
    ASSERT_GT(decided, 0);
    ASSERT_GT(styled, decided);
  }
  for (int k = 0; k <= total; ++k) {
    SCOPED_TRACE("destroyed before call " + std::to_string(k));
    HostileDesktop d;
    FakeToolWindow w;
    BuildCursorScene(d, w);
    d.beforeCall = [&d, k](int index, Op, Hwnd) {
      if (index == k) d.Destroy(kSmallest);
    };
    BorderlessByCursor(d, w, 0, 0);
    if (k <= decided) {
      // Gone before it qualified: the next smallest is converted.
      EXPECT_EQ(static_cast<std::uint32_t>(d.Style(kMiddle)), kBorderlessStyle);
      EXPECT_EQ(w.caption7, "无边框设置成功");
      EXPECT_TRUE(d.boxes.empty());
    } else if (k <= styled) {
      // Chosen, then gone before its style was written: the change fails.
      EXPECT_EQ(NoticeNumbers(d.boxes, 2), std::vector<int>{2});
      EXPECT_EQ(w.caption7, "状态");
      EXPECT_NE(static_cast<std::uint32_t>(d.Style(kMiddle)), kBorderlessStyle);
    } else {
      EXPECT_EQ(w.caption7, "无边框设置成功");
      EXPECT_TRUE(d.boxes.empty());
    }
  }
}

struct WalkVandal {
  const char* label;
  bool spareTheHit;  // only windows after the hit are destroyed
  Hwnd expected;
  int nextWindowQueries;  // GetWindow calls: the walk stops at the first gone window
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const WalkVandal& c, std::ostream* os) { *os << c.label; }


class CursorWalkVandalTest : public ::testing::TestWithParam<WalkVandal> {};

TEST_P(CursorWalkVandalTest, EveryWindowHandedOutIsDestroyedAtTheNextCall) {
  const WalkVandal& v = GetParam();
  HostileDesktop d;
  FakeToolWindow w;
  BuildCursorScene(d, w);
  d.beforeCall = [&d, &v](int, Op, Hwnd) {
    const Hwnd victim = d.lastHandedOut;
    if (victim == 0 || (v.spareTheHit && victim == kHit)) return;
    d.Destroy(victim);
  };
  // A destroyed window has no parent and no next window: the walk stops at
  // the first one, and the hit (which existed a moment ago) is the result.
  EXPECT_EQ(WindowAtPoint(d, Point{50, 50}), v.expected);
  EXPECT_EQ(d.Calls(Op::GetWindow), v.nextWindowQueries);
}

INSTANTIATE_TEST_SUITE_P(
    Vandals, CursorWalkVandalTest,
    ::testing::Values(WalkVandal{"HitToo", false, kHit, 0},
                      WalkVandal{"FollowingOnly", true, kHit, 2}),
    [](const ::testing::TestParamInfo<WalkVandal>& info) { return std::string(info.param.label); });

TEST(HostileVanishingTest, ConversionByCursorOfAHitThatIsGoneReportsTheFailure) {
  HostileDesktop d;
  FakeToolWindow w;
  BuildCursorScene(d, w);
  d.beforeCall = [&d](int, Op, Hwnd) {
    if (d.lastHandedOut == kHit) d.Destroy(kHit);
  };
  BorderlessByCursor(d, w, 0, 0);
  EXPECT_EQ(NoticeNumbers(d.boxes, 2), std::vector<int>{2});
  ASSERT_EQ(d.boxes.size(), 1u);
  EXPECT_EQ(d.boxes[0].owner, kTool);
  EXPECT_EQ(w.caption7, "状态");
}

// --- the probe ----------------------------------------------------------------

constexpr Hwnd kVictim = 0x600;
constexpr Hwnd kBehind = 0x610;

void BuildProbeScene(HostileDesktop& d) {
  d.AddTopLevel(Spec(kVictim, 0x5000, Rect{0, 0, 100, 100}, "Victim"));
  d.AddTopLevel(Spec(kBehind, 0x5004, Rect{0, 0, 500, 500}, "Behind"));
  d.cursor = Point{10, 10};
}

std::string IdCaption(Hwnd hwnd) { return "ID：" + std::to_string(static_cast<std::int32_t>(hwnd)); }

TEST(HostileVanishingTest, ProbeWithTheWindowUnderTheCursorDestroyedBeforeEachCall) {
  int hit = -1, copied = -1, total = 0;
  {
    HostileDesktop d;
    FakeToolWindow w;
    BuildProbeScene(d);
    d.logCalls = true;
    CursorProbe(d, w);
    ASSERT_EQ(w.caption6, "[ Victim ]");
    hit = FirstCall(d.callLog, Op::WindowFromPoint, 0);
    copied = FirstCall(d.callLog, Op::GetWindowText, kVictim);
    total = d.CallCount();
    ASSERT_GE(hit, 0);
    ASSERT_GT(copied, hit);
  }
  for (int k = 0; k <= total; ++k) {
    SCOPED_TRACE("destroyed before call " + std::to_string(k));
    HostileDesktop d;
    FakeToolWindow w;
    BuildProbeScene(d);
    d.beforeCall = [&d, k](int index, Op, Hwnd) {
      if (index == k) d.Destroy(kVictim);
    };
    CursorProbe(d, w);
    ASSERT_EQ(w.captions.size(), 2u);
    EXPECT_EQ(w.captions[0].label, 6);
    EXPECT_EQ(w.captions[1].label, 8);
    if (k <= hit) {
      EXPECT_EQ(w.caption6, "[ Behind ]");
      EXPECT_EQ(w.caption8, IdCaption(kBehind));
    } else if (k <= copied) {
      // Shown by handle; its title is gone with it.
      EXPECT_EQ(w.caption6, "[  ]");
      EXPECT_EQ(w.caption8, IdCaption(kVictim));
    } else {
      EXPECT_EQ(w.caption6, "[ Victim ]");
      EXPECT_EQ(w.caption8, IdCaption(kVictim));
    }
  }
}

TEST(HostileVanishingTest, ProbeOfADesktopThatEmptiesAtEveryCall) {
  HostileDesktop d;
  FakeToolWindow w;
  BuildProbeScene(d);
  d.beforeCall = [&d](int, Op, Hwnd) {
    if (d.lastHandedOut != 0) d.Destroy(d.lastHandedOut);
  };
  for (int tick = 0; tick < 3; ++tick) CursorProbe(d, w);
  // Victim, then Behind, then nothing at all.
  ASSERT_EQ(w.captions.size(), 6u);
  EXPECT_EQ(w.captions[1].text, IdCaption(kVictim));
  EXPECT_EQ(w.captions[3].text, IdCaption(kBehind));
  EXPECT_EQ(w.captions[4].text, "[  ]");
  EXPECT_EQ(w.captions[5].text, "ID：0");
  EXPECT_EQ(w.captions[0].text, "[  ]");
}

}  // namespace
}  // namespace taldoris
