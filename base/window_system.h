// WindowSystem: the platform operations the tool's logic calls, in their ANSI
// forms. The logic only ever reaches the platform through this interface, so
// it builds and runs without <windows.h>: natively against an in-memory fake
// desktop in the tests, and against user32/kernel32 in the real program
// (base/win32_window_system.*).
//
// Types are portable fixed-width equivalents of the platform's: a window
// handle, a process id and a kernel handle are 32-bit values (the program is
// 32-bit), 0 meaning none.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define TALDORIS_CALLBACK __stdcall
#else
#define TALDORIS_CALLBACK
#endif

namespace taldoris {

using Hwnd = std::uint32_t;       // window handle; 0 = none
using ProcessId = std::uint32_t;  // process id; 0 = no process
using Handle = std::uint32_t;     // kernel object handle (snapshot, process, thread)
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// Same shape and calling convention as the platform's WNDPROC on i686, where a
// window handle is a 32-bit pointer.
using WindowProc = LResult(TALDORIS_CALLBACK*)(Hwnd, std::uint32_t, WParam, LParam);

constexpr Handle kInvalidHandle = 0xFFFFFFFFu;  // INVALID_HANDLE_VALUE

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct Message {
  Hwnd hwnd = 0;
  std::uint32_t message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  std::uint32_t time = 0;
  Point pt;
};

// The two fields of the platform's ANSI process-entry record that the tool
// reads. The Win32 layer fills a real PROCESSENTRY32 (size field set before
// the first fetch) and copies these out.
struct ProcessEntry {
  ProcessId th32ProcessID = 0;
  std::uint8_t szExeFile[260] = {};  // zero-padded, ANSI code page
};

// Platform constants the logic passes through the interface.
constexpr std::int32_t GWL_STYLE_INDEX = -16;
constexpr std::int32_t GWL_WNDPROC_INDEX = -4;
constexpr std::uint32_t WM_QUIT_MESSAGE = 0x0012;
constexpr std::uint32_t WM_KEYDOWN_MESSAGE = 0x0100;
constexpr std::uint32_t WM_TIMER_MESSAGE = 0x0113;
constexpr std::uint32_t WM_HOTKEY_MESSAGE = 0x0312;
constexpr std::uint32_t WM_APP_MESSAGE = 0x8000;
constexpr std::uint32_t GW_HWNDNEXT_CMD = 2;
constexpr std::uint32_t TH32CS_SNAPPROCESS_FLAG = 0x00000002;
constexpr std::uint32_t MB_ICONERROR_TYPE = 16;        // MB_OK | MB_ICONERROR
constexpr std::uint32_t MB_ICONINFORMATION_TYPE = 64;  // MB_OK | MB_ICONINFORMATION

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // --- style change and window procedure --------------------------------
  // SetWindowLongA(hwnd, index, value): the replaced value; 0 = refused.
  // A previous value of exactly 0 is told apart from a refusal the
  // documented way (last error cleared before, read after a 0 result): the
  // implementation then reports `refused` = false.
  virtual std::int32_t SetWindowLongA(Hwnd hwnd, std::int32_t index, std::int32_t value,
                                      bool* refused) = 0;
  // SetWindowLongA(hwnd, GWL_WNDPROC, proc): the procedure in place before;
  // 0 (null) when refused.
  virtual WindowProc SetWindowProcA(Hwnd hwnd, WindowProc proc) = 0;
  virtual LResult CallWindowProcA(WindowProc proc, Hwnd hwnd, std::uint32_t msg, WParam wParam,
                                  LParam lParam) = 0;

  // --- processes --------------------------------------------------------
  virtual ProcessId GetCurrentProcessId() = 0;
  // CreateToolhelp32Snapshot(flags, pid): kInvalidHandle when none.
  virtual Handle CreateToolhelp32Snapshot(std::uint32_t flags, ProcessId pid) = 0;
  virtual bool Process32First(Handle snapshot, ProcessEntry* entry) = 0;
  virtual bool Process32Next(Handle snapshot, ProcessEntry* entry) = 0;
  virtual bool CloseHandle(Handle handle) = 0;

  // --- windows ----------------------------------------------------------
  // FindWindowExA(0, after, 0, 0): next top-level window in Z-order below
  // `after` (0 = from the top); 0 after the last one or when `after` is gone.
  virtual Hwnd FindWindowExA(Hwnd parent, Hwnd after, const char* className,
                             const char* title) = 0;
  virtual bool IsWindow(Hwnd hwnd) = 0;
  virtual bool IsWindowVisible(Hwnd hwnd) = 0;
  // GetWindowThreadProcessId: writes the owning process id into *pid (left
  // untouched when the platform names none) and returns the thread id.
  virtual std::uint32_t GetWindowThreadProcessId(Hwnd hwnd, ProcessId* pid) = 0;
  virtual std::int32_t GetWindowTextLengthA(Hwnd hwnd) = 0;
  // Copies at most size-1 bytes and a NUL; returns the count copied.
  virtual std::int32_t GetWindowTextA(Hwnd hwnd, char* buffer, std::int32_t size) = 0;
  virtual bool GetCursorPos(Point* point) = 0;
  virtual Hwnd WindowFromPoint(Point point) = 0;
  virtual Hwnd GetParent(Hwnd hwnd) = 0;
  virtual Hwnd GetWindow(Hwnd hwnd, std::uint32_t cmd) = 0;  // GW_HWNDNEXT only
  virtual bool GetWindowRect(Hwnd hwnd, Rect* rect) = 0;
  virtual bool PtInRect(const Rect& rect, Point point) = 0;

  // --- time -------------------------------------------------------------
  virtual std::uint32_t GetTickCount() = 0;

  // --- messages ---------------------------------------------------------
  // PeekMessageA(msg, 0, 0, 0, PM_NOREMOVE): true if a message waits; it
  // stays queued.
  virtual bool PeekMessageA(Message* msg) = 0;
  // GetMessageA(msg, 0, 0, 0): false for WM_QUIT.
  virtual bool GetMessageA(Message* msg) = 0;
  virtual bool TranslateMessage(const Message& msg) = 0;
  virtual LResult DispatchMessageA(const Message& msg) = 0;
  virtual LResult SendMessageA(Hwnd hwnd, std::uint32_t msg, WParam wParam, LParam lParam) = 0;

  // --- hotkey -----------------------------------------------------------
  virtual bool RegisterHotKey(Hwnd hwnd, std::int32_t id, std::uint32_t modifiers,
                              std::uint32_t key) = 0;

  // --- notice box -------------------------------------------------------
  // MessageBoxTimeoutA(owner, text, caption, type, language, timeout):
  // modal OK box that closes itself after timeoutMs; returns when closed
  // (0 if it could not be shown).
  virtual std::int32_t MessageBoxTimeoutA(Hwnd owner, const char* text, const char* caption,
                                          std::uint32_t type, std::uint16_t language,
                                          std::uint32_t timeoutMs) = 0;

  // --- window placement and processes started by the tool ---------------
  // SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0,0,0,0,
  //              SWP_NOSIZE|SWP_NOMOVE|SWP_NOACTIVATE)
  virtual bool SetTopmost(Hwnd hwnd, bool topmost) = 0;
  // CreateProcessA hidden (STARTF_USESHOWWINDOW, SW_HIDE), WaitForInputIdle
  // 1000 ms, both handles closed. False if it could not be started.
  virtual bool LaunchHidden(const char* commandLine) = 0;
};

}  // namespace taldoris
