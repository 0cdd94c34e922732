// The real platform behind WindowSystem: user32/kernel32 in their ANSI forms.
// Every conversion between the portable 32-bit values of window_system.h and
// the platform's HWND/HANDLE/WNDPROC lives in this file set.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

#include "base/window_system.h"

namespace taldoris {

// Window and kernel handles carry 32 significant bits on every Windows
// (also in a 64-bit build, where they are sign-extended, as LongToHandle
// does): the portable values keep those 32 bits.
inline HWND ToHwnd(Hwnd hwnd) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(hwnd)));
}
inline Hwnd FromHwnd(HWND hwnd) {
  return static_cast<Hwnd>(reinterpret_cast<std::uintptr_t>(hwnd));
}
inline HANDLE ToHandle(Handle handle) {
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(static_cast<std::int32_t>(handle)));
}
inline Handle FromHandle(HANDLE handle) {
  return static_cast<Handle>(reinterpret_cast<std::uintptr_t>(handle));
}
// WindowProc has the WNDPROC ABI (on i686 exactly; in a 64-bit build the
// handle argument is its low 32 bits); the casts go through an integer so
// that no function-type cast is needed.
inline WNDPROC ToWndProc(WindowProc proc) {
  return reinterpret_cast<WNDPROC>(reinterpret_cast<std::uintptr_t>(proc));
}
inline WindowProc FromWndProc(WNDPROC proc) {
  return reinterpret_cast<WindowProc>(reinterpret_cast<std::uintptr_t>(proc));
}

void ToPlatformMessage(const Message& in, MSG* out);
void FromPlatformMessage(const MSG& in, Message* out);

// How long a style change waits for the thread of another program's window
// to show that it still takes messages before the change is given up.
constexpr std::uint32_t kForeignThreadAnswerMs = 1000;

class Win32WindowSystem final : public WindowSystem {
 public:
  // For a window of another thread that does not answer within
  // kForeignThreadAnswerMs, nothing is changed and the change is refused.
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

  // The box closes itself after timeoutMs by a timer of the tool's own, armed
  // on the box as it is created (some platforms ignore the export's own
  // time-out). Returns 32000 when the time-out closed it. A user32 without
  // the export ends the process with exit code -1.
  std::int32_t MessageBoxTimeoutA(Hwnd owner, const char* text, const char* caption,
                                  std::uint32_t type, std::uint16_t language,
                                  std::uint32_t timeoutMs) override;

  bool SetTopmost(Hwnd hwnd, bool topmost) override;
  // A command line whose first word is cmd runs the system directory's
  // cmd.exe, never one found next to the program.
  bool LaunchHidden(const char* commandLine) override;
};

// Result of a notice box closed by its time-out (as the platform's own
// time-out reports it).
constexpr int kMessageBoxTimedOut = 32000;

// Keeps DLLs from being loaded out of the program's folder or the current
// directory: only the system directory is searched for libraries loaded later.
void RestrictDllSearchToSystem();

// Loads the common controls library and registers the given control classes
// (InitCommonControlsEx). Called after RestrictDllSearchToSystem, never as an
// import of the program: an imported library is loaded while the process
// starts, before any of the program's code runs, and it and the libraries it
// loads in turn (the visual styles among them) would be looked for in the
// program's folder first. The version that the program's manifest asks for
// is still the one loaded. A system without the library or its export ends
// the process with exit code -1.
void LoadCommonControls(std::uint32_t classes);

// The application name for a command line: the system directory's cmd.exe
// when the command's first word is cmd or cmd.exe (any case, maybe quoted),
// else empty. Written into buffer (size bytes); false when empty.
bool SystemCommandInterpreterFor(const char* commandLine, char* buffer, std::uint32_t size);

}  // namespace taldoris
