// The tool as its user meets it: one running taldoris.exe, its window found by
// its exact title, its controls by their places and texts, its notice boxes
// as top-level dialog windows of its process.
#pragma once

#include <string>
#include <vector>

#include "desktop.h"

namespace e2e {

extern const char kToolTitle[];
extern const char kProcessName[];

// The texts of the notices and of the status label.
namespace text {
extern const char kNoWindowUnderCursor[];  // notice 1
extern const char kCursorFailed[];         // notice 2 and 7
extern const char kEmptyName[];            // notice 3
extern const char kNoExe[];                // notice 4
extern const char kNoWindowOfProcess[];    // notice 5
extern const char kNameSucceeded[];        // notice 6
extern const char kError[];                // caption of 1, 3, 4, 5
extern const char kFailure[];              // caption of 2, 7
extern const char kSuccess[];              // caption of 6
extern const char kCursorSucceeded[];      // 标签7 after a conversion by cursor
extern const char kStatus[];               // 标签7 at start
}  // namespace text

enum class Icon { kNone, kError, kInformation, kUnknown };
const char* IconName(Icon icon);

struct Notice {
  HWND box = nullptr;
  std::string caption;
  std::string text;
  HWND owner = nullptr;
  HWND iconStatic = nullptr;
};

class Tool {
 public:
  Tool() = default;
  ~Tool();
  Tool(const Tool&) = delete;
  Tool& operator=(const Tool&) = delete;

  // Starts a fresh tool (ending leftovers first) and waits for its window.
  // Returns false with a reason in error() when it does not come up.
  bool Start();
  // Finds every control by its place; false with a reason when one is missing.
  bool FindControls();
  const std::string& error() const { return error_; }
  std::uint64_t shownAtMs() const { return shownAtMs_; }

  Process& process() { return process_; }
  DWORD pid() const { return process_.pid; }
  bool running() const { return IsRunning(process_); }
  // Waits for the process to end; returns its exit code, or -2 on time-out.
  long WaitExit(std::uint32_t timeoutMs);

  HWND main = nullptr;
  HWND group2 = nullptr, label5 = nullptr, edit1 = nullptr, button1 = nullptr, label2 = nullptr,
       label4 = nullptr, label3 = nullptr, label6 = nullptr, label8 = nullptr;
  HWND label1 = nullptr, label7 = nullptr, check1 = nullptr, link1 = nullptr, status1 = nullptr;

  // Visible notice boxes of the tool, topmost first.
  std::vector<Notice> Notices() const;
  // Waits until a notice shows and returns the topmost one (box 0 on time-out).
  Notice WaitNotice(std::uint32_t timeoutMs) const;
  // Waits until no notice shows.
  bool WaitNoNotice(std::uint32_t timeoutMs) const;
  Icon IconOf(const Notice& n) const;

  void TypeName(const std::string& name);  // WM_SETTEXT into 编辑框1
  void ClickButton();                      // a real click on 按钮1
  void PostButtonClick();                  // BM_CLICK posted to 按钮1

  // Ends the tool if it still runs.
  void Stop();

 private:
  Process process_;
  std::string error_;
  std::uint64_t shownAtMs_ = 0;
};

// Ends every process that a test may have left behind.
void EndLeftovers();

}  // namespace e2e
