// A small Win32 program that the end-to-end suite points the tool at, for
// what Wine's own programs cannot show. Usage:
//
//   e2e_target MODE TITLE X Y W H
//
// MODE is one of
//   plain    one visible overlapped window
//   hidden   one window that is never shown: the process has no visible window
//   child    a visible window with a visible child window filling its middle
//            (the child's text is TITLE + " child")
//   counter  a visible window that counts how often its style has been set to
//            the borderless word, shows the count in its title
//            ("TITLE changes=N") and puts its own style back each time
//   zero     a visible window that clears its style word to 0 while a style
//            change from outside is on its way, so the change reports 0 as the
//            previous style
//   hang     a visible window whose thread stops answering for good once a
//            style change reaches it (it then sets the event
//            e2e_hang_reached_PID)
//   churn    creates and destroys visible top-level windows titled TITLE
//            over and over, a new one every few milliseconds
//
// The program runs until it is killed.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr LONG kBorderlessStyle = 0x16020000;
constexpr UINT kRestoreStyle = WM_APP + 1;
constexpr UINT_PTR kChurnTimer = 7;

std::string g_mode;
std::string g_title;
int g_changes = 0;
bool g_zeroing = false;
HWND g_churnWindow = nullptr;
HINSTANCE g_instance = nullptr;
HANDLE g_hangReached = nullptr;  // set when a style change reaches a hang target
int g_x = 100, g_y = 100, g_w = 300, g_h = 200;

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_STYLECHANGING:
      if (g_mode == "hang") {
        SetEvent(g_hangReached);
        Sleep(INFINITE);
      }
      if (g_mode == "zero" && wp == static_cast<WPARAM>(GWL_STYLE) && !g_zeroing) {
        // The change from outside is running in this thread right now: clear
        // the word first, so the change finds 0 as the previous style.
        g_zeroing = true;
        SetWindowLongA(hwnd, GWL_STYLE, 0);
        g_zeroing = false;
      }
      break;
    case WM_STYLECHANGED:
      if (g_mode == "counter" && wp == static_cast<WPARAM>(GWL_STYLE)) {
        const STYLESTRUCT* change = reinterpret_cast<const STYLESTRUCT*>(lp);
        if (static_cast<LONG>(change->styleNew) == kBorderlessStyle) {
          ++g_changes;
          std::string title = g_title + " changes=" + std::to_string(g_changes);
          SetWindowTextA(hwnd, title.c_str());
          PostMessageA(hwnd, kRestoreStyle, 0, 0);
        }
      }
      break;
    case kRestoreStyle:
      SetWindowLongA(hwnd, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
      return 0;
    case WM_TIMER:
      if (wp == kChurnTimer) {
        if (g_churnWindow != nullptr) DestroyWindow(g_churnWindow);
        // Shown without taking the activation, so the user's clicks elsewhere
        // are not disturbed.
        g_churnWindow = CreateWindowExA(WS_EX_NOACTIVATE, "E2ETarget", g_title.c_str(),
                                        WS_OVERLAPPEDWINDOW, g_x, g_y, g_w, g_h, nullptr, nullptr,
                                        g_instance, nullptr);
        if (g_churnWindow != nullptr) ShowWindow(g_churnWindow, SW_SHOWNOACTIVATE);
        return 0;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_instance = instance;
  if (__argc < 7) {
    MessageBoxA(nullptr, "usage: e2e_target MODE TITLE X Y W H", "e2e_target", MB_OK);
    return 2;
  }
  g_mode = __argv[1];
  g_title = __argv[2];
  g_x = std::atoi(__argv[3]);
  g_y = std::atoi(__argv[4]);
  g_w = std::atoi(__argv[5]);
  g_h = std::atoi(__argv[6]);

  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "E2ETarget";
  if (!RegisterClassExA(&wc)) return 3;

  if (g_mode == "hang") {
    const std::string name = "e2e_hang_reached_" + std::to_string(GetCurrentProcessId());
    g_hangReached = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
  }
  const DWORD visible = g_mode == "hidden" ? 0 : WS_VISIBLE;
  HWND main = CreateWindowExA(0, "E2ETarget", g_title.c_str(), WS_OVERLAPPEDWINDOW | visible, g_x,
                              g_y, g_w, g_h, nullptr, nullptr, instance, nullptr);
  if (main == nullptr) return 4;
  if (g_mode == "child") {
    RECT client;
    GetClientRect(main, &client);
    const int cw = client.right / 2, ch = client.bottom / 2;
    std::string childText = g_title + " child";
    HWND child = CreateWindowExA(0, "E2ETarget", childText.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER,
                                 cw / 2, ch / 2, cw, ch, main, nullptr, instance, nullptr);
    if (child == nullptr) return 5;
  }
  if (g_mode == "churn") {
    // The first window stays hidden; visible ones come and go.
    ShowWindow(main, SW_HIDE);
    SetTimer(main, kChurnTimer, 5, nullptr);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
