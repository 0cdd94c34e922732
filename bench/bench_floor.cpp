// The floor: the least the platform needs for each job the tool does, with
// nothing of the tool's own, so that the benchmark can set the tool's
// figures beside the platform's.
//
//   bench_floor                a bare window of the tool's size with two
//                              labels, written once a second with the title
//                              and handle of the window under the cursor
//   bench_floor --hotkey       the same, plus Home as a global hotkey: each
//                              press overwrites the style of the window under
//                              the cursor (WindowFromPoint + SetWindowLongA)
//   bench_floor --name         the same as the first, plus an edit box and a
//                              button: a click looks the typed executable up
//                              in a process snapshot, walks the top-level
//                              windows with FindWindowExA for its first
//                              visible one, overwrites its style and shows
//                              the outcome in a message box
//
// Built a second time as bench_floor_dressed (BENCH_DRESSED): the same
// programs wearing the platform pieces that the tool's window is made of,
// and nothing of the tool's own logic: the common controls 6 manifest, the
// status bar, the three fonts of the face the tool uses and the 64x64 icon.
// Set beside the bare floor it tells the platform's price of that look from
// the tool's own cost.
#include "bench/bench_shared.h"  // windows.h, before the headers that need it

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>


namespace {

using MessageBoxTimeoutAFn = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT, WORD, DWORD);

HWND g_main = nullptr;
HWND g_label6 = nullptr;
HWND g_label8 = nullptr;
HWND g_edit = nullptr;
MessageBoxTimeoutAFn g_messageBoxTimeout = nullptr;
constexpr int kHotkeyId = 1;
constexpr UINT_PTR kTimerId = 1;

void Probe() {
  POINT p;
  if (!GetCursorPos(&p)) return;
  HWND hit = WindowFromPoint(p);
  char title[512];
  char line[600];
  title[0] = '\0';
  GetWindowTextA(hit, title, sizeof title);
  std::snprintf(line, sizeof line, "[ %s ]", title);
  SetWindowTextA(g_label6, line);
  std::snprintf(line, sizeof line, "ID：%d", static_cast<int>(reinterpret_cast<std::intptr_t>(hit)));
  SetWindowTextA(g_label8, line);
}

void Notice(const char* text, const char* caption, UINT type) {
  if (g_messageBoxTimeout != nullptr) {
    g_messageBoxTimeout(g_main, text, caption, type, 0, 5000);
  } else {
    MessageBoxA(g_main, text, caption, type);
  }
}

bool SameNameIgnoringAsciiCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char x = *a, y = *b;
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
    if (x == '\0') return true;
  }
}

void ConvertByName() {
  char name[MAX_PATH];
  GetWindowTextA(g_edit, name, sizeof name);
  DWORD pid = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot != INVALID_HANDLE_VALUE) {
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
      if (SameNameIgnoringAsciiCase(entry.szExeFile, name)) {
        pid = entry.th32ProcessID;
        break;
      }
    }
    CloseHandle(snapshot);
  }
  HWND found = nullptr;
  if (pid != 0) {
    for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, nullptr); w != nullptr;
         w = FindWindowExA(nullptr, w, nullptr, nullptr)) {
      DWORD owner = 0;
      if (IsWindowVisible(w) && GetWindowThreadProcessId(w, &owner) != 0 && owner == pid) {
        found = w;
        break;
      }
    }
  }
  if (found == nullptr) {
    Notice("游戏ID获取失败", "错误", MB_OK | MB_ICONERROR);
  } else if (SetWindowLongA(found, GWL_STYLE, bench::kBorderlessStyle) != 0) {
    Notice("无边框化设置成功", "成功", MB_OK | MB_ICONINFORMATION);
  } else {
    Notice("无边框化设置失败", "失败", MB_OK | MB_ICONERROR);
  }
}

LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TIMER:
      if (wParam == kTimerId) Probe();
      return 0;
    case WM_HOTKEY:
      if (wParam == kHotkeyId) {
        POINT p;
        if (GetCursorPos(&p)) {
          HWND hit = WindowFromPoint(p);
          if (hit != nullptr) SetWindowLongA(hit, GWL_STYLE, bench::kBorderlessStyle);
        }
      }
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == bench::kIdButton1 && HIWORD(wParam) == BN_CLICKED) ConvertByName();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

HWND Child(HINSTANCE instance, const char* cls, DWORD style, int id, int x, int y, int w, int h) {
  return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, g_main,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  bool hotkey = false, name = false;
  for (int i = 1; i < argc; ++i) {
    hotkey = hotkey || std::strcmp(argv[i], "--hotkey") == 0;
    name = name || std::strcmp(argv[i], "--name") == 0;
  }
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = FloorProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
#ifdef BENCH_DRESSED
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
  wc.hIcon = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 64, 64, 0));
  wc.hIconSm = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 16, 16, 0));
#endif
  wc.lpszClassName = bench::kFloorClass;
  if (RegisterClassExA(&wc) == 0) return -1;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - 377) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - 424) / 2;
  g_main = CreateWindowExA(0, bench::kFloorClass, "Bench floor window",
                           WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, left, top,
                           377, 424, nullptr, nullptr, instance, nullptr);
  if (g_main == nullptr) return -1;
  g_label6 = Child(instance, "STATIC", SS_CENTER, bench::kIdLabel6, 23, 139, 299, 45);
  g_label8 = Child(instance, "STATIC", SS_CENTER, bench::kIdLabel8, 22, 194, 299, 20);
  if (name) {
    g_edit = Child(instance, "EDIT", ES_AUTOHSCROLL | WS_BORDER, bench::kIdEdit1, 16, 43, 216, 20);
    Child(instance, "BUTTON", BS_PUSHBUTTON, bench::kIdButton1, 248, 43, 80, 40);
    g_messageBoxTimeout = reinterpret_cast<MessageBoxTimeoutAFn>(reinterpret_cast<INT_PTR>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "MessageBoxTimeoutA")));
  }
#ifdef BENCH_DRESSED
  auto font = [](int height, int weight, bool underline) {
    return CreateFontA(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH,
                       "微软雅黑");
  };
  HFONT f1 = font(-12, FW_NORMAL, false), f2 = font(-16, FW_BOLD, false), f3 = font(-12, FW_NORMAL, true);
  SendMessageA(g_label6, WM_SETFONT, reinterpret_cast<WPARAM>(f1), FALSE);
  SendMessageA(g_label8, WM_SETFONT, reinterpret_cast<WPARAM>(f1), FALSE);
  HWND status = Child(instance, "STATIC", SS_CENTER, 1107, 111, 332, 152, 28);
  SetWindowTextA(status, "状态");
  SendMessageA(status, WM_SETFONT, reinterpret_cast<WPARAM>(f2), FALSE);
  HWND link = Child(instance, "STATIC", SS_CENTER, 1501, 277, 334, 80, 24);
  SetWindowTextA(link, "联系作者");
  SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(f3), FALSE);
  HWND bar = Child(instance, STATUSCLASSNAMEA, 0, 1601, 0, 0, 0, 0);
  const int parts[2] = {80, -1};
  SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  SendMessageA(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("  Taldoris"));
  SendMessageA(bar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(" 本插件完全免费"));
  SendMessageA(bar, WM_SETFONT, reinterpret_cast<WPARAM>(f1), FALSE);
#endif
  SetTimer(g_main, kTimerId, 1000, nullptr);
  if (hotkey) RegisterHotKey(g_main, kHotkeyId, 0, VK_HOME);
  ShowWindow(g_main, SW_SHOWNORMAL);
  UpdateWindow(g_main);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
