// A program whose window stops being answered: it creates a visible window,
// handles what is already queued for it, and then its only thread stops
// taking messages for good. Usage:
//
//   e2e_hung MODE TITLE X Y W H
//
// MODE is one of
//   sleep   the thread sleeps forever
//   spin    the thread computes forever (at idle priority, so that it does
//           not take the machine from the programs under test)
//
// Once the window is up and the thread no longer takes messages, the named
// event e2e_hung_ready_PID is set. The program runs until it is killed.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

LRESULT CALLBACK HungProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

volatile unsigned long g_sink = 0;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc < 7) return 2;
  const std::string mode = __argv[1];
  if (mode != "sleep" && mode != "spin") return 2;

  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = HungProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "E2EHung";
  if (!RegisterClassExA(&wc)) return 3;
  HWND window = CreateWindowExA(0, "E2EHung", __argv[2], WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                std::atoi(__argv[3]), std::atoi(__argv[4]), std::atoi(__argv[5]),
                                std::atoi(__argv[6]), nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 4;
  UpdateWindow(window);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }

  const std::string name = "e2e_hung_ready_" + std::to_string(GetCurrentProcessId());
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
  if (mode == "spin") SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
  if (ready != nullptr) SetEvent(ready);
  if (mode == "sleep") {
    for (;;) Sleep(INFINITE);
  }
  for (;;) g_sink = g_sink * 1664525ul + 1013904223ul;
}
