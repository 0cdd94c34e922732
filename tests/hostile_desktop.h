// A hostile desktop for the robustness tests: the fake desktop, plus a record
// of what the window queries answered, a hook that runs before a chosen
// platform call (by its position among all calls) and a clock that moves
// with the number of calls, as a real desktop's does. The notices of the
// conversion are named by their number, as the user sees them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/window_system.h"
#include "tests/fake_desktop.h"

namespace taldoris {
namespace hostile {

// The seven notices of the two conversion paths (text, caption, type).
struct NoticeRow {
  const char* text;
  const char* caption;
  std::uint32_t type;
};

inline const NoticeRow& Notice(int number) {
  static const NoticeRow rows[8] = {
      {"", "", 0},
      {"游戏进程ID获取失败", "错误", 16},
      {"无边框化设置失败", "失败", 16},
      {"请填写游戏主进程的名称", "错误", 16},
      {"游戏主进程名称错误，所以可执行程序，均带有 [.exe] 后缀，请检查是否填写错误！", "错误", 16},
      {"游戏ID获取失败", "错误", 16},
      {"无边框化设置成功", "成功", 64},
      {"无边框化设置失败", "失败", 16},
  };
  return rows[number];
}

// The numbers (1 to 7, 0 for none of them) of the boxes shown. Notices 2 and
// 7 have the same words; the path tells them apart, so a box with those words
// is reported as `failedNumber`.
inline std::vector<int> NoticeNumbers(const std::vector<fake::BoxRecord>& boxes,
                                      int failedNumber = 7) {
  std::vector<int> numbers;
  for (const auto& box : boxes) {
    int number = 0;
    for (int k = 1; k <= 7; ++k) {
      const NoticeRow& row = Notice(k);
      if (box.text == row.text && box.caption == row.caption && box.type == row.type) {
        number = (k == 2 || k == 7) ? failedNumber : k;
        break;
      }
    }
    numbers.push_back(number);
  }
  return numbers;
}

class HostileDesktop : public fake::FakeDesktop {
 public:
  HostileDesktop() {
    onCall = [this](fake::Op op, Hwnd hwnd) {
      const int index = callIndex_++;
      if (millisecondsPerThousandCalls != 0 && callIndex_ % 1000 == 0) {
        tick += millisecondsPerThousandCalls;
      }
      if (beforeCall) beforeCall(index, op, hwnd);
    };
  }

  // Runs before the platform answers call number `index` (0-based over all
  // calls), so it can change the desktop between two calls.
  std::function<void(int index, fake::Op op, Hwnd hwnd)> beforeCall;
  // The clock moves this many milliseconds per thousand platform calls.
  std::uint32_t millisecondsPerThousandCalls = 0;
  int CallCount() const { return callIndex_; }

  // The last window handed out by FindWindowExA, GetWindow or
  // WindowFromPoint: the one the caller is about to look at.
  Hwnd lastHandedOut = 0;
  // Every FindWindowExA call as (after, answer).
  std::vector<std::pair<Hwnd, Hwnd>> findWindowAnswers;

  Hwnd FindWindowExA(Hwnd parent, Hwnd after, const char* className, const char* title) override {
    const Hwnd answer = fake::FakeDesktop::FindWindowExA(parent, after, className, title);
    findWindowAnswers.emplace_back(after, answer);
    lastHandedOut = answer;
    return answer;
  }
  Hwnd GetWindow(Hwnd hwnd, std::uint32_t cmd) override {
    const Hwnd answer = fake::FakeDesktop::GetWindow(hwnd, cmd);
    lastHandedOut = answer;
    return answer;
  }
  Hwnd WindowFromPoint(Point point) override {
    const Hwnd answer = fake::FakeDesktop::WindowFromPoint(point);
    lastHandedOut = answer;
    return answer;
  }

 private:
  int callIndex_ = 0;
};

// The position (0-based over all calls) of the first logged call of `op` on
// `hwnd`, or -1.
inline int FirstCall(const std::vector<fake::CallRecord>& log, fake::Op op, Hwnd hwnd) {
  for (std::size_t i = 0; i < log.size(); ++i) {
    if (log[i].op == op && log[i].hwnd == hwnd) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace hostile
}  // namespace taldoris
