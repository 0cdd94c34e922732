// An in-memory desktop that implements WindowSystem for the unit tests: the
// one place where the tests describe windows, processes, the clock, the
// message queue, the cursor and the notice boxes.
//
// Windows: top-level windows in Z-order (first = topmost), each with its own
// child list in Z-order. A child's GetParent is its parent; a top-level
// window with an owner counts as an owned pop-up and GetParent reports the
// owner. IsWindowVisible is the window's own flag and that of every ancestor.
// Each window has a window procedure, initially the desktop's class
// procedure, which runs the window's handler (std::function) if one is set;
// SetWindowProcA/CallWindowProcA replace and call real function pointers.
//
// Every WindowSystem call is counted; `onCall` runs before the call is
// answered (so a test can change the desktop "just then"), and the calls can
// be logged in order. The window, cursor, clock and queue queries allocate
// nothing (unless logging is on), so tests can count the logic's own
// allocations around them.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/window_system.h"
#include "core/tool_window.h"

namespace taldoris {
namespace fake {

enum class Op : int {
  SetWindowLong,
  SetWindowProc,
  CallWindowProc,
  GetCurrentProcessId,
  CreateSnapshot,
  Process32First,
  Process32Next,
  CloseHandle,
  FindWindowEx,
  IsWindow,
  IsWindowVisible,
  GetWindowThreadProcessId,
  GetWindowTextLength,
  GetWindowText,
  GetCursorPos,
  WindowFromPoint,
  GetParent,
  GetWindow,
  GetWindowRect,
  PtInRect,
  GetTickCount,
  PeekMessage,
  GetMessage,
  TranslateMessage,
  DispatchMessage,
  SendMessage,
  RegisterHotKey,
  MessageBoxTimeout,
  SetTopmost,
  LaunchHidden,
  kCount
};

const char* OpName(Op op);

using Handler = std::function<LResult(Hwnd hwnd, std::uint32_t msg, WParam wParam, LParam lParam)>;

struct WindowSpec {
  Hwnd hwnd = 0;  // 0: the desktop picks a handle
  ProcessId pid = 0;
  Rect rect;
  std::string title;
  bool visible = true;
  bool enabled = true;
  std::int32_t style = 0x14CF0000;  // visible overlapped window with a frame
  Hwnd owner = 0;                   // top-level windows only
};

struct BoxRecord {
  Hwnd owner = 0;
  std::string text;
  std::string caption;
  std::uint32_t type = 0;
  std::uint16_t language = 0;
  std::uint32_t timeoutMs = 0;
  int depth = 0;        // 1 for a box opened while no other box is open
  Hwnd boxWindow = 0;   // the box's own top-level window while it is open
};

struct HotkeyCall {
  Hwnd hwnd = 0;
  std::int32_t id = 0;
  std::uint32_t modifiers = 0;
  std::uint32_t key = 0;
};

struct CallRecord {
  Op op;
  Hwnd hwnd;
};

class FakeDesktop : public WindowSystem {
 public:
  FakeDesktop();
  ~FakeDesktop() override;
  FakeDesktop(const FakeDesktop&) = delete;
  FakeDesktop& operator=(const FakeDesktop&) = delete;

  // --- building the desktop ----------------------------------------------
  Hwnd AddTopLevel(const WindowSpec& spec);             // below the existing ones
  Hwnd AddChild(Hwnd parent, const WindowSpec& spec);   // below its siblings
  void BringToTop(Hwnd hwnd);
  void Destroy(Hwnd hwnd);  // with its children
  bool Exists(Hwnd hwnd) const;
  void SetVisible(Hwnd hwnd, bool visible);
  void SetEnabled(Hwnd hwnd, bool enabled);
  void SetTitle(Hwnd hwnd, const std::string& title);
  std::int32_t Style(Hwnd hwnd) const;
  Rect RectOf(Hwnd hwnd) const;
  void RefuseStyleChange(Hwnd hwnd, bool refuse = true);
  void SetHandler(Hwnd hwnd, Handler handler);
  WindowProc ProcOf(Hwnd hwnd) const;
  // The procedure every window starts with: runs the window's handler.
  static LResult TALDORIS_CALLBACK ClassProc(Hwnd hwnd, std::uint32_t msg, WParam wParam,
                                             LParam lParam);
  bool refuseProcChange = false;

  // --- processes ----------------------------------------------------------
  void AddProcess(ProcessId pid, const std::string& exeName);
  ProcessId currentPid = 0x1000;
  bool snapshotFails = false;
  int fetchFailsAt = -1;  // the n-th fetch (0-based, over a snapshot) fails
  int SnapshotsOpened() const { return snapshotsOpened_; }
  int SnapshotsOpen() const;

  // --- clock --------------------------------------------------------------
  std::uint32_t tick = 1000;
  std::uint32_t tickPerGetTickCount = 0;  // added after each reading
  std::uint32_t tickPerPeek = 0;          // added on each PeekMessageA

  // --- message queue ------------------------------------------------------
  void Post(Hwnd hwnd, std::uint32_t msg, WParam wParam = 0, LParam lParam = 0);
  const std::deque<Message>& Queue() const { return queue_; }

  // --- cursor -------------------------------------------------------------
  Point cursor;
  bool cursorReadable = true;
  // When set (non-zero), WindowFromPoint answers this instead of looking.
  Hwnd windowFromPointOverride = 0;

  // --- notice boxes ---------------------------------------------------------
  std::vector<BoxRecord> boxes;  // every box shown, in the order opened
  // Runs while a box is open (after it is recorded, before its modal loop).
  std::function<void(const BoxRecord&)> whileBoxOpen;
  // The box's modal loop dispatches the messages waiting in the queue (not
  // a quit message) before the box closes.
  bool boxDispatchesQueue = true;
  int OpenBoxes() const { return openBoxes_; }

  // --- hotkeys, topmost, launches -------------------------------------------
  std::vector<HotkeyCall> hotkeyCalls;
  std::deque<bool> hotkeyAnswers;  // consumed per call; accepted when empty
  std::vector<std::pair<Hwnd, bool>> topmostCalls;
  std::vector<std::string> launches;

  // --- observing calls ----------------------------------------------------
  int Calls(Op op) const { return calls_[static_cast<int>(op)]; }
  void ResetCalls();
  std::function<void(Op op, Hwnd hwnd)> onCall;
  bool logCalls = false;
  std::vector<CallRecord> callLog;

  // --- WindowSystem ---------------------------------------------------------
  std::int32_t SetWindowLongA(Hwnd hwnd, std::int32_t index, std::int32_t value,
                              bool* refused) override;
  WindowProc SetWindowProcA(Hwnd hwnd, WindowProc proc) override;
  LResult CallWindowProcA(WindowProc proc, Hwnd hwnd, std::uint32_t msg, WParam wParam,
                          LParam lParam) override;
  ProcessId GetCurrentProcessId() override;
  Handle CreateToolhelp32Snapshot(std::uint32_t flags, ProcessId pid) override;
  bool Process32First(Handle snapshot, ProcessEntry* entry) override;
  bool Process32Next(Handle snapshot, ProcessEntry* entry) override;
  bool CloseHandle(Handle handle) override;
  Hwnd FindWindowExA(Hwnd parent, Hwnd after, const char* className, const char* title) override;
  bool IsWindow(Hwnd hwnd) override;
  bool IsWindowVisible(Hwnd hwnd) override;
  std::uint32_t GetWindowThreadProcessId(Hwnd hwnd, ProcessId* pid) override;
  std::int32_t GetWindowTextLengthA(Hwnd hwnd) override;
  std::int32_t GetWindowTextA(Hwnd hwnd, char* buffer, std::int32_t size) override;
  bool GetCursorPos(Point* point) override;
  Hwnd WindowFromPoint(Point point) override;
  Hwnd GetParent(Hwnd hwnd) override;
  Hwnd GetWindow(Hwnd hwnd, std::uint32_t cmd) override;
  bool GetWindowRect(Hwnd hwnd, Rect* rect) override;
  bool PtInRect(const Rect& rect, Point point) override;
  std::uint32_t GetTickCount() override;
  bool PeekMessageA(Message* msg) override;
  bool GetMessageA(Message* msg) override;
  bool TranslateMessage(const Message& msg) override;
  LResult DispatchMessageA(const Message& msg) override;
  LResult SendMessageA(Hwnd hwnd, std::uint32_t msg, WParam wParam, LParam lParam) override;
  bool RegisterHotKey(Hwnd hwnd, std::int32_t id, std::uint32_t modifiers,
                      std::uint32_t key) override;
  std::int32_t MessageBoxTimeoutA(Hwnd owner, const char* text, const char* caption,
                                  std::uint32_t type, std::uint16_t language,
                                  std::uint32_t timeoutMs) override;
  bool SetTopmost(Hwnd hwnd, bool topmost) override;
  bool LaunchHidden(const char* commandLine) override;

 private:
  struct Window {
    Hwnd parent = 0;
    Hwnd owner = 0;
    ProcessId pid = 0;
    Rect rect;
    std::string title;
    bool visible = true;
    bool enabled = true;
    bool refuseStyle = false;
    std::int32_t style = 0;
    WindowProc proc = nullptr;
    Handler handler;
    std::vector<Hwnd> children;  // Z-order, topmost first
  };
  struct Snapshot {
    std::vector<std::pair<ProcessId, std::string>> entries;
    std::size_t next = 0;
    int fetches = 0;
    bool open = true;
  };

  void Note(Op op, Hwnd hwnd);
  Hwnd NewHandle(Hwnd wanted);
  const Window* Find(Hwnd hwnd) const;
  Window* Find(Hwnd hwnd);
  std::vector<Hwnd>* SiblingsOf(Hwnd hwnd);
  bool Fetch(Handle snapshot, ProcessEntry* entry, bool first);
  Hwnd HitIn(const std::vector<Hwnd>& level, Point point, bool childLevel) const;

  static FakeDesktop* current_;

  std::map<Hwnd, Window> windows_;
  std::vector<Hwnd> topLevel_;
  Hwnd nextHandle_ = 0x00010010;
  std::vector<std::pair<ProcessId, std::string>> processes_;
  std::map<Handle, Snapshot> snapshots_;
  Handle nextSnapshot_ = 0x100;
  int snapshotsOpened_ = 0;
  std::deque<Message> queue_;
  int openBoxes_ = 0;
  std::array<int, static_cast<int>(Op::kCount)> calls_{};
};

// What MainWindow offers the logic, recorded.
class FakeToolWindow : public ToolWindow {
 public:
  struct Caption {
    int label;  // 6, 7 or 8
    std::string text;
  };
  std::vector<Caption> captions;  // every write, in order
  std::string caption6;
  std::string caption7 = "状态";
  std::string caption8;
  Text editText;  // served by ReadEditText (absent by default)
  int editReads = 0;
  Hwnd mainHandle = 0;
  Hwnd label1Handle = 0;
  std::vector<bool> alwaysOnTopWrites;
  std::vector<bool> showInTaskbarWrites;

  void SetCaption6(const char* text) override;
  void SetCaption7(const char* text) override;
  void SetCaption8(const char* text) override;
  Text ReadEditText() override;
  Hwnd MainHandle() override { return mainHandle; }
  Hwnd Label1Handle() override { return label1Handle; }
  void SetAlwaysOnTop(bool value) override { alwaysOnTopWrites.push_back(value); }
  void SetShowInTaskbar(bool value) override { showInTaskbarWrites.push_back(value); }
};

}  // namespace fake
}  // namespace taldoris
