#include "base/win32_window_system.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstring>

#include "base/text.h"

namespace taldoris {

namespace {

// Platform values that older headers may lack.
constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

template <typename Fn>
Fn LookUpExport(const char* module, const char* name) {
  HMODULE handle = GetModuleHandleA(module);
  if (handle == nullptr) return nullptr;
  FARPROC proc = GetProcAddress(handle, name);
  return reinterpret_cast<Fn>(reinterpret_cast<std::uintptr_t>(proc));
}

// One fetch of a snapshot entry (Process32First or Process32Next) into the
// ANSI record, sized before the fetch, then copied out.
bool FetchEntry(BOOL(WINAPI* fetch)(HANDLE, LPPROCESSENTRY32), HANDLE snapshot,
                ProcessEntry* out) {
  PROCESSENTRY32 platform = {};
  platform.dwSize = sizeof(platform);
  if (!fetch(snapshot, &platform)) return false;
  out->th32ProcessID = platform.th32ProcessID;
  static_assert(sizeof(out->szExeFile) == sizeof(platform.szExeFile),
                "ANSI entry of MAX_PATH bytes");
  std::memcpy(out->szExeFile, platform.szExeFile, sizeof(out->szExeFile));
  return true;
}

// --- the notice box's own time-out -------------------------------------
//
// Each open call records the box it is waiting for. A thread-local CBT hook
// sees the dialog window of the message box being created and gives it to
// the innermost call that has none yet; that call's time-out becomes a timer
// on the box which ends it. A box opened from inside another box's modal
// loop gets its own record and its own timer, so nested boxes close
// independently; a box that the user closes takes its timer with it.

struct PendingBox {
  UINT timeoutMs = 0;
  HWND box = nullptr;
  PendingBox* outer = nullptr;  // the box opened before this one, still open
  PendingBox* inner = nullptr;  // the box opened after this one, still open
};

// The open boxes, each record on the stack of its own call: a chain from the
// innermost outwards (no container: it would bring the C++ library's
// exception machinery into the program file). GUI thread only.
PendingBox* g_innermostBox = nullptr;
HHOOK g_boxHook = nullptr;
constexpr UINT_PTR kBoxTimerId = 0x5444;  // 'TD'

bool IsDialogWindow(HWND hwnd) {
  char name[16] = {};
  int length = GetClassNameA(hwnd, name, sizeof(name));
  return length == 6 && std::memcmp(name, "#32770", 6) == 0;
}

void CALLBACK EndBoxOnTimeOut(HWND box, UINT, UINT_PTR id, DWORD) {
  KillTimer(box, id);
  EndDialog(box, kMessageBoxTimedOut);
}

LRESULT CALLBACK WatchBoxCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_innermostBox != nullptr) {
    PendingBox* innermost = g_innermostBox;
    HWND created = reinterpret_cast<HWND>(wParam);
    const CBT_CREATEWNDA* info = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
    bool topLevel = info == nullptr || info->lpcs == nullptr || (info->lpcs->style & WS_CHILD) == 0;
    if (innermost->box == nullptr && topLevel && IsDialogWindow(created)) {
      innermost->box = created;
      SetTimer(created, kBoxTimerId, innermost->timeoutMs, EndBoxOnTimeOut);
    }
  }
  return CallNextHookEx(g_boxHook, code, wParam, lParam);
}

using MessageBoxTimeoutAFn = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT, WORD, DWORD);

MessageBoxTimeoutAFn MessageBoxTimeoutExport() {
  static MessageBoxTimeoutAFn fn = nullptr;
  if (fn == nullptr) {
    fn = LookUpExport<MessageBoxTimeoutAFn>("user32.dll", "MessageBoxTimeoutA");
    if (fn == nullptr) ExitProcess(static_cast<UINT>(-1));
  }
  return fn;
}

}  // namespace

void ToPlatformMessage(const Message& in, MSG* out) {
  out->hwnd = ToHwnd(in.hwnd);
  out->message = in.message;
  out->wParam = in.wParam;
  out->lParam = in.lParam;
  out->time = in.time;
  out->pt.x = in.pt.x;
  out->pt.y = in.pt.y;
}

void FromPlatformMessage(const MSG& in, Message* out) {
  out->hwnd = FromHwnd(in.hwnd);
  out->message = in.message;
  out->wParam = in.wParam;
  out->lParam = in.lParam;
  out->time = in.time;
  out->pt.x = in.pt.x;
  out->pt.y = in.pt.y;
}

// --- style change and window procedure ------------------------------------

std::int32_t Win32WindowSystem::SetWindowLongA(Hwnd hwnd, std::int32_t index, std::int32_t value,
                                               bool* refused) {
  // The style of another thread's window is changed by that thread: the
  // platform hands it the change (with WM_STYLECHANGING and WM_STYLECHANGED)
  // and the caller waits, without any limit, until it is done. A game whose
  // thread no longer takes messages would so freeze the tool for good. That
  // thread is therefore asked first whether it answers at all: a round trip
  // of WM_NULL, given up after kForeignThreadAnswerMs, or at once when the
  // platform already counts the thread as hung. Without an answer the window
  // is left as it is and the change counts as refused (the user sees the
  // failure notice). While waiting, messages that other programs send to the
  // tool are still answered, so a target that is itself waiting on the tool
  // does not hold the question up.
  //
  // A thread that hangs between its answer and the change itself (or inside
  // its own WM_STYLECHANGING) still holds the tool up: the question only
  // narrows the window in which that can happen.
  HWND window = ToHwnd(hwnd);
  DWORD owner = ::GetWindowThreadProcessId(window, nullptr);
  if (owner != 0 && owner != GetCurrentThreadId()) {
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            kForeignThreadAnswerMs, &ignored) == 0) {
      if (refused != nullptr) *refused = true;
      return 0;
    }
  }
  // A previous value of 0 is a success; only a 0 with an error set is a
  // refusal.
  SetLastError(0);
  LONG previous = ::SetWindowLongA(window, index, value);
  if (refused != nullptr) *refused = previous == 0 && GetLastError() != 0;
  return previous;
}

WindowProc Win32WindowSystem::SetWindowProcA(Hwnd hwnd, WindowProc proc) {
  // SetWindowLongA(GWL_WNDPROC) in the 32-bit program; the pointer-sized form
  // is the same call there and the right one in a 64-bit build.
  LONG_PTR previous = ::SetWindowLongPtrA(ToHwnd(hwnd), GWLP_WNDPROC,
                                          static_cast<LONG_PTR>(reinterpret_cast<std::uintptr_t>(proc)));
  return reinterpret_cast<WindowProc>(static_cast<std::uintptr_t>(previous));
}

LResult Win32WindowSystem::CallWindowProcA(WindowProc proc, Hwnd hwnd, std::uint32_t msg,
                                           WParam wParam, LParam lParam) {
  return ::CallWindowProcA(ToWndProc(proc), ToHwnd(hwnd), msg, wParam, lParam);
}

// --- processes ---------------------------------------------------------------

ProcessId Win32WindowSystem::GetCurrentProcessId() { return ::GetCurrentProcessId(); }

Handle Win32WindowSystem::CreateToolhelp32Snapshot(std::uint32_t flags, ProcessId pid) {
  return FromHandle(::CreateToolhelp32Snapshot(flags, pid));
}

bool Win32WindowSystem::Process32First(Handle snapshot, ProcessEntry* entry) {
  return FetchEntry(::Process32First, ToHandle(snapshot), entry);
}

bool Win32WindowSystem::Process32Next(Handle snapshot, ProcessEntry* entry) {
  return FetchEntry(::Process32Next, ToHandle(snapshot), entry);
}

bool Win32WindowSystem::CloseHandle(Handle handle) { return ::CloseHandle(ToHandle(handle)) != 0; }

// --- windows -----------------------------------------------------------------

Hwnd Win32WindowSystem::FindWindowExA(Hwnd parent, Hwnd after, const char* className,
                                      const char* title) {
  return FromHwnd(::FindWindowExA(ToHwnd(parent), ToHwnd(after), className, title));
}

bool Win32WindowSystem::IsWindow(Hwnd hwnd) { return ::IsWindow(ToHwnd(hwnd)) != 0; }

bool Win32WindowSystem::IsWindowVisible(Hwnd hwnd) {
  return ::IsWindowVisible(ToHwnd(hwnd)) != 0;
}

std::uint32_t Win32WindowSystem::GetWindowThreadProcessId(Hwnd hwnd, ProcessId* pid) {
  DWORD id = pid != nullptr ? *pid : 0;
  DWORD thread = ::GetWindowThreadProcessId(ToHwnd(hwnd), &id);
  if (pid != nullptr) *pid = id;
  return thread;
}

std::int32_t Win32WindowSystem::GetWindowTextLengthA(Hwnd hwnd) {
  return ::GetWindowTextLengthA(ToHwnd(hwnd));
}

std::int32_t Win32WindowSystem::GetWindowTextA(Hwnd hwnd, char* buffer, std::int32_t size) {
  if (buffer == nullptr || size <= 0) return 0;
  return ::GetWindowTextA(ToHwnd(hwnd), buffer, size);
}

bool Win32WindowSystem::GetCursorPos(Point* point) {
  POINT platform = {};
  if (!::GetCursorPos(&platform)) return false;
  point->x = platform.x;
  point->y = platform.y;
  return true;
}

Hwnd Win32WindowSystem::WindowFromPoint(Point point) {
  POINT platform = {point.x, point.y};
  return FromHwnd(::WindowFromPoint(platform));
}

Hwnd Win32WindowSystem::GetParent(Hwnd hwnd) { return FromHwnd(::GetParent(ToHwnd(hwnd))); }

Hwnd Win32WindowSystem::GetWindow(Hwnd hwnd, std::uint32_t cmd) {
  return FromHwnd(::GetWindow(ToHwnd(hwnd), cmd));
}

bool Win32WindowSystem::GetWindowRect(Hwnd hwnd, Rect* rect) {
  RECT platform = {};
  if (!::GetWindowRect(ToHwnd(hwnd), &platform)) return false;
  rect->left = platform.left;
  rect->top = platform.top;
  rect->right = platform.right;
  rect->bottom = platform.bottom;
  return true;
}

bool Win32WindowSystem::PtInRect(const Rect& rect, Point point) {
  RECT platformRect = {rect.left, rect.top, rect.right, rect.bottom};
  POINT platformPoint = {point.x, point.y};
  return ::PtInRect(&platformRect, platformPoint) != 0;
}

// --- time --------------------------------------------------------------------

std::uint32_t Win32WindowSystem::GetTickCount() { return ::GetTickCount(); }

// --- messages ------------------------------------------------------------------

bool Win32WindowSystem::PeekMessageA(Message* msg) {
  MSG platform = {};
  if (!::PeekMessageA(&platform, nullptr, 0, 0, PM_NOREMOVE)) return false;
  if (msg != nullptr) FromPlatformMessage(platform, msg);
  return true;
}

bool Win32WindowSystem::GetMessageA(Message* msg) {
  MSG platform = {};
  BOOL result = ::GetMessageA(&platform, nullptr, 0, 0);
  FromPlatformMessage(platform, msg);
  return result > 0;  // 0 for WM_QUIT; -1 cannot happen without a window filter
}

bool Win32WindowSystem::TranslateMessage(const Message& msg) {
  MSG platform = {};
  ToPlatformMessage(msg, &platform);
  return ::TranslateMessage(&platform) != 0;
}

LResult Win32WindowSystem::DispatchMessageA(const Message& msg) {
  MSG platform = {};
  ToPlatformMessage(msg, &platform);
  return ::DispatchMessageA(&platform);
}

LResult Win32WindowSystem::SendMessageA(Hwnd hwnd, std::uint32_t msg, WParam wParam,
                                        LParam lParam) {
  return ::SendMessageA(ToHwnd(hwnd), msg, wParam, lParam);
}

// --- hotkey --------------------------------------------------------------------

bool Win32WindowSystem::RegisterHotKey(Hwnd hwnd, std::int32_t id, std::uint32_t modifiers,
                                       std::uint32_t key) {
  return ::RegisterHotKey(ToHwnd(hwnd), id, modifiers, key) != 0;
}

// --- notice box ------------------------------------------------------------------

std::int32_t Win32WindowSystem::MessageBoxTimeoutA(Hwnd owner, const char* text,
                                                   const char* caption, std::uint32_t type,
                                                   std::uint16_t language,
                                                   std::uint32_t timeoutMs) {
  MessageBoxTimeoutAFn show = MessageBoxTimeoutExport();

  PendingBox pending;
  pending.timeoutMs = timeoutMs;
  pending.outer = g_innermostBox;
  if (g_innermostBox != nullptr) g_innermostBox->inner = &pending;
  g_innermostBox = &pending;
  if (g_boxHook == nullptr) {
    g_boxHook = SetWindowsHookExA(WH_CBT, WatchBoxCreation, nullptr, GetCurrentThreadId());
  }

  int result = show(ToHwnd(owner), text, caption, type, language, timeoutMs);

  // Boxes close innermost first, but a box ended by its timer while an inner
  // one is open returns only after it: take this call's own record out.
  if (pending.outer != nullptr) pending.outer->inner = pending.inner;
  if (pending.inner != nullptr) {
    pending.inner->outer = pending.outer;
  } else {
    g_innermostBox = pending.outer;
  }
  if (g_innermostBox == nullptr && g_boxHook != nullptr) {
    UnhookWindowsHookEx(g_boxHook);
    g_boxHook = nullptr;
  }
  return result;
}

// --- window placement and started processes -----------------------------------

bool Win32WindowSystem::SetTopmost(Hwnd hwnd, bool topmost) {
  return ::SetWindowPos(ToHwnd(hwnd), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                        SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE) != 0;
}

bool SystemCommandInterpreterFor(const char* commandLine, char* buffer, std::uint32_t size) {
  if (buffer == nullptr || size == 0) return false;
  buffer[0] = '\0';
  if (commandLine == nullptr) return false;
  const char* word = commandLine;
  while (*word == ' ' || *word == '\t') ++word;
  std::size_t length = 0;
  if (*word == '"') {
    ++word;
    while (word[length] != '\0' && word[length] != '"') ++length;
  } else {
    while (word[length] != '\0' && word[length] != ' ' && word[length] != '\t') ++length;
  }
  const Text program = ToLowerText(Text(word, length));
  if (CompareText(program, "cmd") != 0 && CompareText(program, "cmd.exe") != 0) return false;
  static const char kInterpreter[] = "\\cmd.exe";
  UINT directory = GetSystemDirectoryA(buffer, size);
  if (directory == 0 || directory + sizeof(kInterpreter) > size) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer + directory, kInterpreter, sizeof(kInterpreter));
  return true;
}

bool Win32WindowSystem::LaunchHidden(const char* commandLine) {
  if (TextLength(commandLine) == 0) return false;
  // The program runs elevated from wherever it was saved: the interpreter is
  // named by its full path so that no cmd next to the program is started.
  char application[MAX_PATH + 16];
  bool named = SystemCommandInterpreterFor(commandLine, application, sizeof(application));

  Text writable(commandLine);  // CreateProcessA may write into its command line
  STARTUPINFOA startup = {};
#ifndef _WIN64
  static_assert(sizeof(startup) == 68, "ANSI start-up record of the 32-bit platform");
#endif
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started = {};
  if (!::CreateProcessA(named ? application : nullptr, writable.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &started)) {
    return false;
  }
  WaitForInputIdle(started.hProcess, 1000);
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  return true;
}

void LoadCommonControls(std::uint32_t classes) {
  using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  HMODULE library = LoadLibraryA("comctl32.dll");
  FARPROC proc = library == nullptr ? nullptr : GetProcAddress(library, "InitCommonControlsEx");
  auto init = reinterpret_cast<InitCommonControlsExFn>(reinterpret_cast<std::uintptr_t>(proc));
  if (init == nullptr) ExitProcess(static_cast<UINT>(-1));
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = classes;
  init(&controls);
}

void RestrictDllSearchToSystem() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto setDefault =
      LookUpExport<SetDefaultDllDirectoriesFn>("kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault != nullptr && setDefault(kLoadLibrarySearchSystem32)) return;
  // Older systems: at least take the current directory out of the search.
  SetDllDirectoryA("");
}

}  // namespace taldoris
