// How the portable core's work grows with the desktop, measured natively on
// the in-memory fake desktop:
//
//   WindowAtPoint             the hit is a child window followed by N siblings
//                             that all contain the point (every test runs)
//   FindVisibleWindowOfProcess  N visible top-level windows of other processes
//                             above the one wanted
//   FindProcessIdByName       N processes listed before the one wanted
//                             (read from a list kept in place)
//   CursorProbe               one tick over a child window with ten siblings
//
// For each it prints time per call (median of several batches), platform
// calls per call and allocations per call, one line per case:
//
//   scaling <operation> <n> <ns_per_call> <platform_calls_per_call> <allocations_per_call>
//
// The fake desktop finds a window's next sibling by searching its level, a
// step that costs the platform a constant; the desktop used here answers the
// calls on the hot path from flat tables built once, so what grows with N is
// the core's own work. With --callgrind each case runs a few times only, for
// an instruction count under valgrind --tool=callgrind.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#if defined(__has_include)
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define BENCH_HAVE_CALLGRIND 1
#endif
#endif
#ifndef BENCH_HAVE_CALLGRIND
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name) ((void)(name))
#endif

#include "core/cursor_probe.h"
#include "core/lookup.h"
#include "core/window_under_cursor.h"
#include "tests/allocation_counter.h"
#include "tests/fake_desktop.h"

namespace {

using taldoris::Hwnd;
using taldoris::Point;
using taldoris::ProcessId;
using taldoris::Rect;
namespace fake = taldoris::fake;

// The fake desktop with constant-time answers on the hot path.
class IndexedDesktop : public fake::FakeDesktop {
 public:
  Hwnd Top(const fake::WindowSpec& spec) {
    const Hwnd h = AddTopLevel(spec);
    Record(h, 0, spec);
    tops_.push_back(h);
    return h;
  }
  Hwnd Child(Hwnd parent, const fake::WindowSpec& spec) {
    const Hwnd h = AddChild(parent, spec);
    Record(h, parent, spec);
    children_[parent].push_back(h);
    return h;
  }
  // Builds the next-sibling table; call once the desktop stands.
  void Index() {
    auto link = [this](const std::vector<Hwnd>& level) {
      for (std::size_t i = 0; i < level.size(); ++i) {
        At(level[i]).next = i + 1 < level.size() ? level[i + 1] : 0;
      }
    };
    link(tops_);
    for (const auto& entry : children_) link(entry.second);
  }
  std::uint64_t calls = 0;  // answered by this class

  Hwnd FindWindowExA(Hwnd, Hwnd after, const char*, const char*) override {
    ++calls;
    if (after == 0) return tops_.empty() ? 0 : tops_.front();
    return Known(after) ? At(after).next : 0;
  }
  Hwnd GetWindow(Hwnd hwnd, std::uint32_t) override {
    ++calls;
    return Known(hwnd) ? At(hwnd).next : 0;
  }
  bool IsWindow(Hwnd hwnd) override {
    ++calls;
    return Known(hwnd);
  }
  bool IsWindowVisible(Hwnd hwnd) override {
    ++calls;
    for (Hwnd h = hwnd; Known(h); h = At(h).parent) {
      if (!At(h).visible) return false;
      if (At(h).parent == 0) return true;
    }
    return false;
  }
  std::uint32_t GetWindowThreadProcessId(Hwnd hwnd, ProcessId* pid) override {
    ++calls;
    if (!Known(hwnd)) return 0;
    *pid = At(hwnd).pid;
    return At(hwnd).pid + 4;
  }
  Hwnd GetParent(Hwnd hwnd) override {
    ++calls;
    return Known(hwnd) ? At(hwnd).parent : 0;
  }
  bool GetWindowRect(Hwnd hwnd, Rect* rect) override {
    ++calls;
    if (!Known(hwnd)) return false;
    *rect = At(hwnd).rect;
    return true;
  }
  bool PtInRect(const Rect& r, Point p) override {
    ++calls;
    return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
  }
  bool PeekMessageA(taldoris::Message*) override {
    ++calls;
    return false;  // nothing waits: the search never stalls here
  }
  std::uint32_t GetTickCount() override {
    ++calls;
    return tick;
  }
  // A process list read in place: no copy per snapshot.
  void Process(ProcessId pid, const std::string& exeName) { processes_.emplace_back(pid, exeName); }
  taldoris::Handle CreateToolhelp32Snapshot(std::uint32_t, ProcessId) override {
    ++calls;
    next_ = 0;
    return kSnapshot;
  }
  bool Process32First(taldoris::Handle snapshot, taldoris::ProcessEntry* entry) override {
    next_ = 0;
    return Process32Next(snapshot, entry);
  }
  bool Process32Next(taldoris::Handle snapshot, taldoris::ProcessEntry* entry) override {
    ++calls;
    if (snapshot != kSnapshot || next_ >= processes_.size()) return false;
    const auto& [pid, name] = processes_[next_++];
    entry->th32ProcessID = pid;
    std::memset(entry->szExeFile, 0, sizeof entry->szExeFile);
    std::memcpy(entry->szExeFile, name.data(), std::min(name.size(), sizeof entry->szExeFile - 1));
    return true;
  }
  bool CloseHandle(taldoris::Handle) override {
    ++calls;
    return true;
  }

 private:
  struct Slot {
    bool known = false;
    bool visible = false;
    Hwnd parent = 0;
    Hwnd next = 0;
    ProcessId pid = 0;
    Rect rect;
  };
  // The fake hands out handles 0x00010010, 0x00010020, ...
  static std::size_t IndexOf(Hwnd h) { return (h - 0x00010010u) / 0x10u; }
  bool Known(Hwnd h) const {
    if (h < 0x00010010u || (h & 0xFu) != 0) return false;
    const std::size_t i = IndexOf(h);
    return i < slots_.size() && slots_[i].known;
  }
  Slot& At(Hwnd h) { return slots_[IndexOf(h)]; }
  void Record(Hwnd h, Hwnd parent, const fake::WindowSpec& spec) {
    const std::size_t i = IndexOf(h);
    if (slots_.size() <= i) slots_.resize(i + 1);
    Slot& s = slots_[i];
    s.known = true;
    s.visible = spec.visible;
    s.parent = parent != 0 ? parent : spec.owner;
    s.pid = spec.pid != 0 ? spec.pid : (parent != 0 ? At(parent).pid : 0);
    s.rect = spec.rect;
  }

  static constexpr taldoris::Handle kSnapshot = 0x100;
  std::vector<std::pair<ProcessId, std::string>> processes_;
  std::size_t next_ = 0;
  std::vector<Slot> slots_;
  std::vector<Hwnd> tops_;
  std::map<Hwnd, std::vector<Hwnd>> children_;  // each level in Z-order
};

// A tool window that keeps its captions in fixed buffers, so that the
// allocations counted in a probe tick are the core's own.
class QuietToolWindow : public taldoris::ToolWindow {
 public:
  void SetCaption6(const char* text) override { Keep(caption6, text); }
  void SetCaption7(const char* text) override { Keep(caption7, text); }
  void SetCaption8(const char* text) override { Keep(caption8, text); }
  taldoris::Text ReadEditText() override { return taldoris::Text(); }
  Hwnd MainHandle() override { return 0; }
  Hwnd Label1Handle() override { return 0; }
  void SetAlwaysOnTop(bool) override {}
  void SetShowInTaskbar(bool) override {}
  char caption6[512] = {}, caption7[512] = {}, caption8[512] = {};

 private:
  static void Keep(char* slot, const char* text) {
    std::snprintf(slot, 512, "%s", text != nullptr ? text : "");
  }
};

struct Result {
  double nsPerCall;
  double callsPerCall;
  double allocationsPerCall;
};

bool g_callgrind = false;
volatile std::uint64_t g_sink = 0;

constexpr int kCallgrindCalls = 5;

template <typename Fn>
Result Measure(IndexedDesktop& desk, const char* operation, int n, Fn&& call) {
  // Counting run: platform calls and allocations of one call.
  const std::uint64_t calls0 = desk.calls;
  const std::uint64_t allocs0 = fake::AllocationCount();
  g_sink = g_sink + call();
  Result r;
  r.callsPerCall = static_cast<double>(desk.calls - calls0);
  r.allocationsPerCall = static_cast<double>(fake::AllocationCount() - allocs0);
  if (g_callgrind) {
    // A dump of exactly kCallgrindCalls calls, named after the case.
    char name[96];
    std::snprintf(name, sizeof name, "case:%s:%d:%d", operation, n, kCallgrindCalls);
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < kCallgrindCalls; ++i) g_sink = g_sink + call();
    CALLGRIND_DUMP_STATS_AT(name);
    r.nsPerCall = 0;
    return r;
  }
  // Batches of at least 20 ms; the median batch gives the time per call.
  using Clock = std::chrono::steady_clock;
  int perBatch = 1;
  for (;;) {
    const auto t0 = Clock::now();
    for (int i = 0; i < perBatch; ++i) g_sink = g_sink + call();
    if (Clock::now() - t0 >= std::chrono::milliseconds(20) || perBatch >= (1 << 24)) break;
    perBatch *= 2;
  }
  std::vector<double> batches;
  for (int b = 0; b < 7; ++b) {
    const auto t0 = Clock::now();
    for (int i = 0; i < perBatch; ++i) g_sink = g_sink + call();
    const std::chrono::duration<double, std::nano> spent = Clock::now() - t0;
    batches.push_back(spent.count() / perBatch);
  }
  std::sort(batches.begin(), batches.end());
  r.nsPerCall = batches[batches.size() / 2];
  return r;
}

void Print(const char* operation, int n, const Result& r) {
  std::printf("scaling %s %d %.1f %.0f %.0f\n", operation, n, r.nsPerCall, r.callsPerCall,
              r.allocationsPerCall);
  std::fflush(stdout);
}

void WindowAtPointCase(int n) {
  IndexedDesktop desk;
  fake::WindowSpec frame;
  frame.pid = 7;
  frame.rect = Rect{0, 0, 4000, 4000};
  const Hwnd parent = desk.Top(frame);
  fake::WindowSpec hit;
  hit.rect = Rect{100, 100, 200, 200};
  desk.Child(parent, hit);
  for (int i = 0; i < n; ++i) {
    fake::WindowSpec sibling;
    sibling.rect = Rect{50, 50, 300 + i % 7, 300};  // contains the point, larger than the hit
    desk.Child(parent, sibling);
  }
  desk.Index();
  const Point p{150, 150};
  const Hwnd expected = desk.WindowFromPoint(p);
  const Result r = Measure(desk, "WindowAtPoint", n, [&] { return taldoris::WindowAtPoint(desk, p); });
  if (taldoris::WindowAtPoint(desk, p) != expected) std::printf("error WindowAtPoint result\n");
  Print("WindowAtPoint", n, r);
}

void FindVisibleWindowCase(int n) {
  IndexedDesktop desk;
  for (int i = 0; i < n; ++i) {
    fake::WindowSpec other;
    other.pid = 100 + static_cast<ProcessId>(i % 50);
    other.rect = Rect{i % 800, i % 600, i % 800 + 100, i % 600 + 80};
    desk.Top(other);
  }
  fake::WindowSpec game;
  game.pid = 7;
  game.rect = Rect{0, 0, 640, 480};
  const Hwnd wanted = desk.Top(game);
  desk.Index();
  const Result r = Measure(desk, "FindVisibleWindowOfProcess", n, [&] {
    return taldoris::FindVisibleWindowOfProcess(desk, 7, 0x7FFFFFFF);
  });
  if (taldoris::FindVisibleWindowOfProcess(desk, 7, 0x7FFFFFFF) != wanted) {
    std::printf("error FindVisibleWindowOfProcess result\n");
  }
  Print("FindVisibleWindowOfProcess", n, r);
}

void FindProcessCase(int n) {
  IndexedDesktop desk;
  for (int i = 0; i < n; ++i) {
    desk.Process(100 + static_cast<ProcessId>(i), "svchost" + std::to_string(i % 10) + ".exe");
  }
  desk.Process(7, "Game.exe");
  const Result r = Measure(desk, "FindProcessIdByName", n, [&] { return taldoris::FindProcessIdByName(desk, "game.exe"); });
  if (taldoris::FindProcessIdByName(desk, "game.exe") != 7) {
    std::printf("error FindProcessIdByName result\n");
  }
  Print("FindProcessIdByName", n, r);
}

void ProbeCase() {
  IndexedDesktop desk;
  fake::WindowSpec frame;
  frame.pid = 7;
  frame.title = "Game window";
  frame.rect = Rect{0, 0, 1000, 800};
  const Hwnd parent = desk.Top(frame);
  for (int i = 0; i < 10; ++i) {
    fake::WindowSpec child;
    child.title = "child " + std::to_string(i);
    child.rect = Rect{10 * i, 10 * i, 900, 700};
    desk.Child(parent, child);
  }
  desk.Index();
  desk.cursor = Point{450, 350};
  QuietToolWindow window;
  const Result r = Measure(desk, "CursorProbe", 10, [&] {
    taldoris::CursorProbe(desk, window);
    return static_cast<std::uint64_t>(window.caption8[4]);
  });
  Print("CursorProbe", 10, r);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes = {10, 100, 1000, 10000};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--callgrind") == 0) {
      g_callgrind = true;
      sizes = {1000, 10000};
    }
  }
  for (int n : sizes) WindowAtPointCase(n);
  for (int n : sizes) FindVisibleWindowCase(n);
  for (int n : sizes) FindProcessCase(n);
  ProbeCase();
  return 0;
}
