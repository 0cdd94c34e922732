// Crowded and restless desktops: thousands of top-level windows, thousands of
// sibling windows under the cursor, and a process list that changes while the
// conversion by name walks it. The clock moves with the work done, about as a
// real desktop's does, so the search budget really bounds the walk.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/borderless.h"
#include "core/lookup.h"
#include "core/notice.h"
#include "core/window_under_cursor.h"
#include "tests/fake_desktop.h"
#include "tests/hostile_desktop.h"

namespace taldoris {
namespace {

using fake::FakeToolWindow;
using fake::Op;
using fake::WindowSpec;
using hostile::HostileDesktop;
using hostile::NoticeNumbers;

constexpr Hwnd kTool = 0x100;
constexpr ProcessId kGamePid = 0x2000;
constexpr Hwnd kGameWindow = 0x200;

WindowSpec Spec(Hwnd hwnd, ProcessId pid, Rect rect, bool visible = true) {
  WindowSpec spec;
  spec.hwnd = hwnd;
  spec.pid = pid;
  spec.rect = rect;
  spec.visible = visible;
  return spec;
}

// Adds `count` visible windows of other processes, below the existing ones.
void AddCrowd(HostileDesktop& d, int count) {
  for (int i = 0; i < count; ++i) {
    d.AddTopLevel(Spec(0x100000 + 0x10 * static_cast<Hwnd>(i), 0x9000 + 4 * (i % 50),
                       Rect{0, 0, 640, 480}));
  }
}

struct CrowdCase {
  const char* label;
  int windowsAbove;  // foreign windows above the game's window
  std::uint32_t msPerThousandCalls;
  int notice;  // 6 when the game's window is found in time, else 5
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const CrowdCase& c, std::ostream* os) { *os << c.label; }


class CrowdedSearchTest : public ::testing::TestWithParam<CrowdCase> {};

TEST_P(CrowdedSearchTest, FindsTheWindowWhenTheBudgetAllowsAndStopsWhenItIsSpent) {
  const CrowdCase& c = GetParam();
  HostileDesktop d;
  FakeToolWindow w;
  d.millisecondsPerThousandCalls = c.msPerThousandCalls;
  d.AddTopLevel(Spec(kTool, d.currentPid, Rect{0, 0, 300, 200}));
  AddCrowd(d, c.windowsAbove);
  d.AddTopLevel(Spec(kGameWindow, kGamePid, Rect{0, 0, 1024, 768}));
  d.AddProcess(kGamePid, "game.exe");
  w.mainHandle = kTool;
  w.editText = Text("game.exe");

  const std::uint32_t start = d.tick;
  BorderlessByProcessName(d, w);

  EXPECT_EQ(NoticeNumbers(d.boxes), std::vector<int>{c.notice});
  ASSERT_EQ(d.boxes.size(), 1u);
  EXPECT_EQ(d.boxes[0].owner, kTool);
  if (c.notice == 6) {
    EXPECT_EQ(static_cast<std::uint32_t>(d.Style(kGameWindow)), kBorderlessStyle);
  } else {
    // The search gave up at its budget (plus one step), not at the end of
    // the list: the clock shows barely more than 100 ms.
    EXPECT_LT(d.tick - start, 100u + 2 * c.msPerThousandCalls);
    EXPECT_LT(d.Calls(Op::FindWindowEx), c.windowsAbove);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Crowds, CrowdedSearchTest,
    ::testing::Values(CrowdCase{"FiveThousandWindowsFast", 5000, 1, 6},
                      CrowdCase{"TwentyThousandWindowsSlow", 20000, 10, 5}),
    [](const ::testing::TestParamInfo<CrowdCase>& info) { return std::string(info.param.label); });

TEST(HostileCrowdTest, NoticeFindsItsOwnerBelowThousandsOfWindows) {
  HostileDesktop d;
  d.millisecondsPerThousandCalls = 1;
  AddCrowd(d, 3000);
  d.AddTopLevel(Spec(kTool, d.currentPid, Rect{0, 0, 300, 200}));
  ShowNotice(d, "x", "y", MB_ICONERROR_TYPE);
  ASSERT_EQ(d.boxes.size(), 1u);
  EXPECT_EQ(d.boxes[0].owner, kTool);
}

TEST(HostileCrowdTest, CursorWalkVisitsThousandsOfSiblingsAndTakesTheSmallest) {
  HostileDesktop d;
  constexpr Hwnd kParent = 0x300;
  constexpr int kSiblings = 4000;
  d.AddTopLevel(Spec(kParent, kGamePid, Rect{0, 0, 10000, 10000}));
  // Each sibling is one pixel smaller on each side than the one above it,
  // and all contain the point; every third one, and the very smallest, is
  // hidden.
  Hwnd smallestVisible = 0;
  for (int i = 0; i < kSiblings; ++i) {
    const Hwnd h = 0x1000 + 0x10 * static_cast<Hwnd>(i);
    const bool visible = i % 3 != 2 && i != kSiblings - 1;
    d.AddChild(kParent, Spec(h, 0, Rect{i, i, 9000 - i, 9000 - i}, visible));
    if (visible) smallestVisible = h;
  }
  EXPECT_EQ(WindowAtPoint(d, Point{4500, 4500}), smallestVisible);
  EXPECT_EQ(d.Calls(Op::GetWindow), kSiblings);
}

// --- a process list that changes during the walk -----------------------------

struct ProcessListCase {
  const char* label;
  int notice;
  Hwnd converted;  // 0 when no style is written
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const ProcessListCase& c, std::ostream* os) { *os << c.label; }


class ChangingProcessListTest : public ::testing::TestWithParam<ProcessListCase> {
 protected:
  void SetUp() override {
    d.tickPerGetTickCount = 1;
    d.AddTopLevel(Spec(kTool, d.currentPid, Rect{0, 0, 300, 200}));
    d.AddTopLevel(Spec(kGameWindow, kGamePid, Rect{0, 0, 1024, 768}));
    d.AddProcess(0x3000, "explorer.exe");
    d.AddProcess(0x3004, "editor.exe");
    d.AddProcess(kGamePid, "game.exe");
    w.mainHandle = kTool;
    w.editText = Text("game.exe");
  }

  HostileDesktop d;
  FakeToolWindow w;
};

TEST_P(ChangingProcessListTest, OutcomeFollowsTheSnapshotAndTheWindowsOfTheMoment) {
  const ProcessListCase& c = GetParam();
  const std::string label = c.label;
  if (label == "GameExitsDuringTheWalk") {
    // Listed in the snapshot, but gone (with its window) by the time the
    // walk reaches it.
    d.beforeCall = [this](int, Op op, Hwnd) {
      if (op == Op::Process32Next) d.Destroy(kGameWindow);
    };
  } else if (label == "GameStartsAfterTheSnapshot") {
    d.beforeCall = [this](int, Op op, Hwnd) {
      if (op == Op::Process32First) d.AddProcess(0x5000, "late.exe");
    };
    w.editText = Text("late.exe");
    d.AddTopLevel(Spec(0x210, 0x5000, Rect{0, 0, 100, 100}));
  } else if (label == "FetchFailsBeforeTheGame") {
    d.fetchFailsAt = 1;
  } else if (label == "FetchFailsAfterTheGame") {
    d.fetchFailsAt = 3;
  } else if (label == "NoSnapshot") {
    d.snapshotFails = true;
  } else if (label == "SecondOfTwoSameNamesIsNeverLookedAt") {
    d.AddProcess(0x6000, "GAME.EXE");
    d.AddTopLevel(Spec(0x230, 0x6000, Rect{0, 0, 100, 100}));
    w.editText = Text("Game.exe");
  } else if (label == "FirstOfTwoSameNamesHasNoWindow") {
    // The first process of that name wins, even one without a window.
    d.Destroy(kGameWindow);
    d.AddProcess(0x6000, "GAME.EXE");
    d.AddTopLevel(Spec(0x230, 0x6000, Rect{0, 0, 100, 100}));
    w.editText = Text("Game.exe");
  } else if (label == "ProcessIdReusedDuringTheWalk") {
    // The game exits and a new process with its id opens a window while
    // the list is walked: the window of that id at search time is taken.
    d.beforeCall = [this](int, Op op, Hwnd) {
      if (op == Op::Process32Next && d.Exists(kGameWindow)) {
        d.Destroy(kGameWindow);
        d.AddTopLevel(Spec(0x220, kGamePid, Rect{0, 0, 100, 100}));
      }
    };
  }

  BorderlessByProcessName(d, w);

  EXPECT_EQ(NoticeNumbers(d.boxes), std::vector<int>{c.notice});
  EXPECT_EQ(d.SnapshotsOpen(), 0);
  EXPECT_LE(d.SnapshotsOpened(), 1);
  EXPECT_EQ(d.Calls(Op::SetWindowLong), c.converted != 0 ? 1 : 0);
  if (c.converted != 0) {
    EXPECT_EQ(static_cast<std::uint32_t>(d.Style(c.converted)), kBorderlessStyle);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ProcessLists, ChangingProcessListTest,
    ::testing::Values(ProcessListCase{"GameExitsDuringTheWalk", 5, 0},
                      ProcessListCase{"GameStartsAfterTheSnapshot", 5, 0},
                      ProcessListCase{"FetchFailsBeforeTheGame", 5, 0},
                      ProcessListCase{"FetchFailsAfterTheGame", 6, kGameWindow},
                      ProcessListCase{"NoSnapshot", 5, 0},
                      ProcessListCase{"SecondOfTwoSameNamesIsNeverLookedAt", 6, kGameWindow},
                      ProcessListCase{"FirstOfTwoSameNamesHasNoWindow", 5, 0},
                      ProcessListCase{"ProcessIdReusedDuringTheWalk", 6, 0x220}),
    [](const ::testing::TestParamInfo<ProcessListCase>& info) {
      return std::string(info.param.label);
    });

}  // namespace
}  // namespace taldoris
