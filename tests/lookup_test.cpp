// Process and window lookup against the fake desktop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/lookup.h"
#include "core/message_pump.h"
#include "tests/allocation_counter.h"
#include "tests/fake_desktop.h"

namespace taldoris {
namespace {

using fake::FakeDesktop;
using fake::Op;
using fake::WindowSpec;

// --- FindProcessIdByName -----------------------------------------------------

class FindProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop.AddProcess(4, "System");
    desktop.AddProcess(20, "Game.exe");
    desktop.AddProcess(30, "game.exe");            // same name, listed later
    desktop.AddProcess(40, "\xD3\xCE\xCF\xB7.EXE");  // 游戏.EXE
    desktop.AddProcess(50, "\x81\x41.exe");        // trail byte equal to 'A'
    desktop.AddProcess(60, "Other.exe");
  }
  FakeDesktop desktop;
};

TEST_F(FindProcessTest, WholeNameEqualityWithAsciiCaseFolded) {
  struct Case {
    const char* name;
    ProcessId expected;
  } const cases[] = {
      {"game.exe", 20},  // first in the snapshot wins over pid 30
      {"GAME.EXE", 20},
      {"gAmE.eXe", 20},
      {"game", 0},        // no extension
      {" game.exe", 0},   // leading blank
      {"game.exe ", 0},   // trailing blank
      {"ame.exe", 0},     // no substring match
      {"\xD3\xCE\xCF\xB7.exe", 40},
      {"\x81\x61.exe", 0},  // the trail byte of a character is not folded
      {"\x81\x41.EXE", 50},
      {"other.EXE", 60},
      {"missing.exe", 0},
      {"", 0},
      {nullptr, 0},
  };
  for (const Case& c : cases) {
    const int opened = desktop.SnapshotsOpened();
    EXPECT_EQ(FindProcessIdByName(desktop, c.name), c.expected) << (c.name ? c.name : "<absent>");
    EXPECT_EQ(desktop.SnapshotsOpened(), opened + 1) << "one snapshot per call";
    EXPECT_EQ(desktop.SnapshotsOpen(), 0) << "snapshot closed on every path";
  }
}

TEST_F(FindProcessTest, StopsAtTheFirstMatch) {
  EXPECT_EQ(FindProcessIdByName(desktop, "game.exe"), 20u);
  EXPECT_EQ(desktop.Calls(Op::Process32First), 1);
  EXPECT_EQ(desktop.Calls(Op::Process32Next), 1);  // System, then Game.exe
  EXPECT_EQ(desktop.Calls(Op::CloseHandle), 1);
}

TEST_F(FindProcessTest, NoSnapshotGivesZeroWithoutWalkingOrClosing) {
  desktop.snapshotFails = true;
  EXPECT_EQ(FindProcessIdByName(desktop, "game.exe"), 0u);
  EXPECT_EQ(desktop.Calls(Op::Process32First), 0);
  EXPECT_EQ(desktop.Calls(Op::CloseHandle), 0);
}

TEST_F(FindProcessTest, FailingFetchEndsTheWalkAndClosesTheSnapshot) {
  for (int failingFetch : {0, 1}) {  // Process32First, then the first Process32Next
    desktop.fetchFailsAt = failingFetch;
    EXPECT_EQ(FindProcessIdByName(desktop, "game.exe"), 0u) << failingFetch;
    EXPECT_EQ(desktop.SnapshotsOpen(), 0) << failingFetch;
  }
}

TEST_F(FindProcessTest, ReadsTheSnapshotNotLaterChanges) {
  // A process started while the walk is under way is not in the snapshot.
  desktop.onCall = [this](Op op, Hwnd) {
    if (op == Op::Process32First) desktop.AddProcess(99, "late.exe");
  };
  EXPECT_EQ(FindProcessIdByName(desktop, "late.exe"), 0u);
  desktop.onCall = nullptr;
  EXPECT_EQ(FindProcessIdByName(desktop, "late.exe"), 99u);
}

// --- FindVisibleWindowOfProcess ------------------------------------------------

constexpr ProcessId kGame = 77;
constexpr ProcessId kOther = 88;

class WindowSearchTest : public ::testing::Test {
 protected:
  Hwnd Add(ProcessId pid, bool visible) {
    WindowSpec spec;
    spec.pid = pid;
    spec.visible = visible;
    spec.rect = Rect{0, 0, 10, 10};
    return desktop.AddTopLevel(spec);
  }
  // The `after` argument of every FindWindowExA call so far.
  std::vector<Hwnd> Afters() const {
    std::vector<Hwnd> afters;
    for (const auto& call : desktop.callLog) {
      if (call.op == Op::FindWindowEx) afters.push_back(call.hwnd);
    }
    return afters;
  }
  FakeDesktop desktop;
};

TEST_F(WindowSearchTest, FirstVisibleWindowOfTheProcessInZOrderWithOnePumpPerRejection) {
  Add(kGame, false);                 // hidden: rejected
  Add(kOther, true);                 // another process: rejected
  const Hwnd first = Add(kGame, true);
  Add(kGame, true);                  // lower: never reached
  EXPECT_EQ(FindVisibleWindowOfProcess(desktop, kGame, 100), first);
  EXPECT_EQ(desktop.Calls(Op::FindWindowEx), 3);
  EXPECT_EQ(desktop.Calls(Op::PeekMessage), 2);  // an empty queue: one look per pump
}

TEST_F(WindowSearchTest, WalksTheListAgainFromTheTopUntilTheBudgetIsUsed) {
  const Hwnd a = Add(kGame, false);
  const Hwnd b = Add(kOther, true);
  desktop.tickPerPeek = 1;  // each pump costs a millisecond
  desktop.logCalls = true;
  EXPECT_EQ(FindVisibleWindowOfProcess(desktop, kGame, 100), 0u);
  const std::vector<Hwnd> afters = Afters();
  ASSERT_EQ(afters.size(), 100u);
  for (std::size_t i = 0; i < afters.size(); ++i) {
    const Hwnd expected[] = {0, a, b};  // a, b, then 0 at the end of the list
    EXPECT_EQ(afters[i], expected[i % 3]) << "step " << i;
  }
  EXPECT_EQ(desktop.Calls(Op::PeekMessage), 100) << "one pump per rejected candidate, 0 included";
}

TEST_F(WindowSearchTest, DestroyedPreviousCandidateRestartsAtTheTop) {
  const Hwnd a = Add(kOther, true);
  const Hwnd b = Add(kOther, true);
  const Hwnd target = Add(kGame, true);
  int peeks = 0;
  desktop.onCall = [&](Op op, Hwnd) {
    if (op == Op::PeekMessage && ++peeks == 1) desktop.Destroy(a);
  };
  desktop.logCalls = true;
  EXPECT_EQ(FindVisibleWindowOfProcess(desktop, kGame, 100), target);
  EXPECT_EQ(Afters(), (std::vector<Hwnd>{0, a, 0, b}));
  EXPECT_EQ(desktop.Calls(Op::PeekMessage), 3);
}

TEST_F(WindowSearchTest, TimeIsTestedOnlyAtTheStartOfAStep) {
  // A step that runs past the budget still accepts its candidate.
  const Hwnd target = Add(kGame, true);
  desktop.onCall = [&](Op op, Hwnd) {
    if (op == Op::FindWindowEx) desktop.tick += 5000;
  };
  EXPECT_EQ(FindVisibleWindowOfProcess(desktop, kGame, 100), target);

  // A rejected candidate's step completes with its pump; the next step's
  // test then ends the search.
  desktop.BringToTop(Add(kOther, true));
  desktop.ResetCalls();
  EXPECT_EQ(FindVisibleWindowOfProcess(desktop, kGame, 100), 0u);
  EXPECT_EQ(desktop.Calls(Op::FindWindowEx), 1);
  EXPECT_EQ(desktop.Calls(Op::PeekMessage), 1);
}

TEST_F(WindowSearchTest, WindowShownDuringALongPumpAfterTheBudgetIsNotFound) {
  Add(kOther, true);
  const Hwnd late = Add(kGame, false);
  desktop.onCall = [&](Op op, Hwnd) {
    if (op == Op::PeekMessage) {
      desktop.tick += 10000;  // a handler that holds the pump up
      desktop.SetVisible(late, true);
    }
  };
  EXPECT_EQ(FindVisibleWindowOfProcess(desktop, kGame, 100), 0u);
  EXPECT_EQ(desktop.Calls(Op::FindWindowEx), 1);
}

TEST_F(WindowSearchTest, WindowShownWithinTheBudgetIsFound) {
  Add(kOther, true);
  const Hwnd late = Add(kGame, false);
  desktop.tickPerPeek = 10;
  desktop.onCall = [&](Op op, Hwnd) {
    if (op == Op::PeekMessage && desktop.tick >= 1000 + 50) desktop.SetVisible(late, true);
  };
  EXPECT_EQ(FindVisibleWindowOfProcess(desktop, kGame, 100), late);
}

TEST_F(WindowSearchTest, TickCounterWrapNeitherEndsTheSearchEarlyNorKeepsItGoing) {
  for (std::uint32_t start : {0xFFFFFFC0u, 0xFFFFFFFFu, 0u, 0x7FFFFFC0u, 0x80000000u}) {
    desktop.ResetCalls();
    desktop.tick = start;
    desktop.tickPerGetTickCount = 1;  // the clock moves a millisecond per reading
    EXPECT_EQ(FindVisibleWindowOfProcess(desktop, kGame, 100), 0u) << start;
    // One reading for the start, then one per step: steps at 1..99 ms search
    // and pump, the reading at 100 ms ends the search.
    EXPECT_EQ(desktop.Calls(Op::GetTickCount), 101) << start;
    EXPECT_EQ(desktop.Calls(Op::FindWindowEx), 99) << start;
    EXPECT_EQ(desktop.Calls(Op::PeekMessage), 99) << start;
  }
}

TEST_F(WindowSearchTest, BudgetOfZeroSearchesNothing) {
  Add(kGame, true);
  for (std::int32_t budget : {0, -1}) {
    EXPECT_EQ(FindVisibleWindowOfProcess(desktop, kGame, budget), 0u);
  }
  EXPECT_EQ(desktop.Calls(Op::FindWindowEx), 0);
}

TEST_F(WindowSearchTest, QuitMessagePostedDuringTheSearchIsLeftQueued) {
  InstallMessageFilter(nullptr);
  WindowSpec spec;
  spec.pid = desktop.currentPid;
  const Hwnd tool = desktop.AddTopLevel(spec);
  int ticks = 0;
  desktop.SetHandler(tool, [&](Hwnd, std::uint32_t msg, WParam, LParam) -> LResult {
    if (msg == WM_TIMER_MESSAGE) {
      ++ticks;
      desktop.Post(0, WM_QUIT_MESSAGE);
    }
    return 0;
  });
  desktop.Post(tool, WM_TIMER_MESSAGE);
  desktop.tickPerPeek = 1;
  EXPECT_EQ(FindVisibleWindowOfProcess(desktop, kGame, 100), 0u);
  EXPECT_EQ(ticks, 1);
  ASSERT_EQ(desktop.Queue().size(), 1u);
  EXPECT_EQ(desktop.Queue().front().message, WM_QUIT_MESSAGE);
}

TEST(AllocationCounter, SeesTextBuffers) {
  // The counter behind the no-allocation tests does see a text being made.
  const std::uint64_t before = fake::AllocationCount();
  const Text joined = ConcatText("a", "b");
  EXPECT_EQ(fake::AllocationCount() - before, 1u);
}

TEST_F(WindowSearchTest, NothingIsAllocatedPerCandidate) {
  for (int i = 0; i < 50; ++i) Add(i % 2 ? kOther : kGame, i % 2 != 0);
  desktop.tickPerPeek = 1;
  const std::uint64_t before = fake::AllocationCount();
  EXPECT_EQ(FindVisibleWindowOfProcess(desktop, kGame, 1000), 0u);
  const std::uint64_t allocations = fake::AllocationCount() - before;
  EXPECT_EQ(desktop.Calls(Op::PeekMessage), 1000);
  EXPECT_EQ(allocations, 0u);
}

// --- WindowProcessId and WindowTitleText ---------------------------------------

TEST(WindowQueries, ProcessIdOfAWindowOrZero) {
  FakeDesktop desktop;
  WindowSpec spec;
  spec.pid = 1234;
  const Hwnd w = desktop.AddTopLevel(spec);
  const Hwnd child = desktop.AddChild(w, WindowSpec());
  EXPECT_EQ(WindowProcessId(desktop, w), 1234u);
  EXPECT_EQ(WindowProcessId(desktop, child), 1234u);
  EXPECT_EQ(WindowProcessId(desktop, 0), 0u);
  desktop.Destroy(w);
  EXPECT_EQ(WindowProcessId(desktop, w), 0u);
}

TEST(WindowQueries, TitleTextTable) {
  FakeDesktop desktop;
  struct Case {
    std::string title;
  } const cases[] = {
      {"Notepad"}, {""}, {"\xBC\xC7\xCA\xC2\xB1\xBE"}, {std::string(300, 'x')}, {"A&B"},
  };
  for (const Case& c : cases) {
    WindowSpec spec;
    spec.title = c.title;
    const Hwnd w = desktop.AddTopLevel(spec);
    const Text title = WindowTitleText(desktop, w);
    EXPECT_EQ(std::string(title.c_str()), c.title);
  }
  EXPECT_STREQ(WindowTitleText(desktop, 0).c_str(), "");
  EXPECT_STREQ(WindowTitleText(desktop, 0xDEAD0).c_str(), "");
}

TEST(WindowQueries, TitleChangingBetweenLengthAndTextIsCutToTheBuffer) {
  FakeDesktop desktop;
  WindowSpec spec;
  spec.title = "short";
  const Hwnd w = desktop.AddTopLevel(spec);
  desktop.onCall = [&](Op op, Hwnd) {
    if (op == Op::GetWindowText) desktop.SetTitle(w, "a much longer title");
  };
  EXPECT_STREQ(WindowTitleText(desktop, w).c_str(), "a muc");

  desktop.onCall = [&](Op op, Hwnd) {
    if (op == Op::GetWindowText) desktop.SetTitle(w, "ab");
  };
  EXPECT_STREQ(WindowTitleText(desktop, w).c_str(), "ab");

  desktop.onCall = [&](Op op, Hwnd) {
    if (op == Op::GetWindowText) desktop.Destroy(w);
  };
  EXPECT_STREQ(WindowTitleText(desktop, w).c_str(), "");
}

}  // namespace
}  // namespace taldoris
