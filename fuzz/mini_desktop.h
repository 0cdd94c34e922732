// A small in-memory desktop for the name-check fuzz target: a process list,
// top-level windows in Z-order, a clock that moves one millisecond per
// reading, no queued messages. It records notices, style changes and
// snapshots so that the target can check what a click did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/window_system.h"
#include "core/tool_window.h"

namespace taldoris_fuzz {

using taldoris::Handle;
using taldoris::Hwnd;
using taldoris::LParam;
using taldoris::LResult;
using taldoris::Message;
using taldoris::Point;
using taldoris::ProcessEntry;
using taldoris::ProcessId;
using taldoris::Rect;
using taldoris::WindowProc;
using taldoris::WParam;

struct MiniWindow {
  Hwnd hwnd = 0;
  ProcessId pid = 0;
  bool visible = true;
  bool refuses = false;      // SetWindowLongA is refused
  std::int32_t style = 0;    // current style word
};

struct MiniNotice {
  Hwnd owner = 0;
  std::string text;
  std::string caption;
  std::uint32_t type = 0;
};

struct StyleWrite {
  Hwnd hwnd = 0;
  std::int32_t index = 0;
  std::int32_t value = 0;
};

class MiniDesktop : public taldoris::WindowSystem {
 public:
  static constexpr ProcessId kOwnPid = 4242;
  static constexpr Handle kSnapshot = 77;

  std::vector<std::string> processNames;  // pid of entry i is PidOf(i)
  std::vector<MiniWindow> windows;        // Z-order, topmost first
  std::vector<MiniNotice> notices;
  std::vector<StyleWrite> styleWrites;
  int snapshotsTaken = 0;
  int snapshotsOpen = 0;
  std::uint32_t clock = 1000;

  static ProcessId PidOf(std::size_t index) { return static_cast<ProcessId>(100 + 4 * index); }

  MiniWindow* Find(Hwnd hwnd) {
    for (auto& w : windows) {
      if (w.hwnd == hwnd && hwnd != 0) return &w;
    }
    return nullptr;
  }

  std::int32_t SetWindowLongA(Hwnd hwnd, std::int32_t index, std::int32_t value,
                              bool* refused) override {
    styleWrites.push_back({hwnd, index, value});
    MiniWindow* w = Find(hwnd);
    if (w == nullptr || w->refuses || index != taldoris::GWL_STYLE_INDEX) {
      if (refused) *refused = true;
      return 0;
    }
    std::int32_t previous = w->style;
    w->style = value;
    if (refused) *refused = false;
    return previous;
  }
  WindowProc SetWindowProcA(Hwnd, WindowProc) override { return nullptr; }
  LResult CallWindowProcA(WindowProc, Hwnd, std::uint32_t, WParam, LParam) override { return 0; }

  ProcessId GetCurrentProcessId() override { return kOwnPid; }
  Handle CreateToolhelp32Snapshot(std::uint32_t, ProcessId) override {
    ++snapshotsTaken;
    ++snapshotsOpen;
    cursor_ = 0;
    return kSnapshot;
  }
  bool Process32First(Handle snapshot, ProcessEntry* entry) override {
    cursor_ = 0;
    return Fill(snapshot, entry);
  }
  bool Process32Next(Handle snapshot, ProcessEntry* entry) override { return Fill(snapshot, entry); }
  bool CloseHandle(Handle handle) override {
    if (handle == kSnapshot && snapshotsOpen > 0) {
      --snapshotsOpen;
      return true;
    }
    return false;
  }

  Hwnd FindWindowExA(Hwnd parent, Hwnd after, const char*, const char*) override {
    if (parent != 0) return 0;
    if (after == 0) return windows.empty() ? 0 : windows.front().hwnd;
    for (std::size_t i = 0; i < windows.size(); ++i) {
      if (windows[i].hwnd == after) return i + 1 < windows.size() ? windows[i + 1].hwnd : 0;
    }
    return 0;
  }
  bool IsWindow(Hwnd hwnd) override { return Find(hwnd) != nullptr; }
  bool IsWindowVisible(Hwnd hwnd) override {
    MiniWindow* w = Find(hwnd);
    return w != nullptr && w->visible;
  }
  std::uint32_t GetWindowThreadProcessId(Hwnd hwnd, ProcessId* pid) override {
    MiniWindow* w = Find(hwnd);
    if (w == nullptr) return 0;
    if (pid) *pid = w->pid;
    return 1;
  }
  std::int32_t GetWindowTextLengthA(Hwnd) override { return 0; }
  std::int32_t GetWindowTextA(Hwnd, char* buffer, std::int32_t size) override {
    if (buffer && size > 0) buffer[0] = '\0';
    return 0;
  }
  bool GetCursorPos(Point*) override { return false; }
  Hwnd WindowFromPoint(Point) override { return 0; }
  Hwnd GetParent(Hwnd) override { return 0; }
  Hwnd GetWindow(Hwnd, std::uint32_t) override { return 0; }
  bool GetWindowRect(Hwnd, Rect*) override { return false; }
  bool PtInRect(const Rect&, Point) override { return false; }

  std::uint32_t GetTickCount() override { return clock++; }

  bool PeekMessageA(Message*) override { return false; }
  bool GetMessageA(Message*) override { return false; }
  bool TranslateMessage(const Message&) override { return false; }
  LResult DispatchMessageA(const Message&) override { return 0; }
  LResult SendMessageA(Hwnd, std::uint32_t, WParam, LParam) override { return 0; }
  bool RegisterHotKey(Hwnd, std::int32_t, std::uint32_t, std::uint32_t) override { return true; }

  std::int32_t MessageBoxTimeoutA(Hwnd owner, const char* text, const char* caption,
                                  std::uint32_t type, std::uint16_t, std::uint32_t) override {
    notices.push_back({owner, text ? text : "", caption ? caption : "", type});
    return 1;
  }
  bool SetTopmost(Hwnd, bool) override { return true; }
  bool LaunchHidden(const char*) override { return true; }

 private:
  bool Fill(Handle snapshot, ProcessEntry* entry) {
    if (snapshot != kSnapshot || entry == nullptr || cursor_ >= processNames.size()) return false;
    *entry = ProcessEntry();
    entry->th32ProcessID = PidOf(cursor_);
    const std::string& name = processNames[cursor_];
    for (std::size_t k = 0; k < name.size() && k + 1 < sizeof entry->szExeFile; ++k) {
      entry->szExeFile[k] = static_cast<std::uint8_t>(name[k]);
    }
    ++cursor_;
    return true;
  }

  std::size_t cursor_ = 0;
};

class MiniToolWindow : public taldoris::ToolWindow {
 public:
  static constexpr Hwnd kMain = 0x10010;
  static constexpr Hwnd kLabel1 = 0x10012;

  std::string editText;
  std::vector<std::string> captions7;

  void SetCaption6(const char*) override {}
  void SetCaption7(const char* text) override { captions7.push_back(text ? text : ""); }
  void SetCaption8(const char*) override {}
  taldoris::Text ReadEditText() override {
    return taldoris::Text(editText.data(), editText.size());
  }
  Hwnd MainHandle() override { return kMain; }
  Hwnd Label1Handle() override { return kLabel1; }
  void SetAlwaysOnTop(bool) override {}
  void SetShowInTaskbar(bool) override {}
};

}  // namespace taldoris_fuzz
