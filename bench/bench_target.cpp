// The benchmark's stand-ins for other programs on the desktop, one program
// started in one of four modes:
//
//   bench_target idle                 no window: one more process in the list
//   bench_target window X Y W H       one visible window (the game); it notes
//                                     the moment its style becomes borderless
//   bench_target hidden N             N hidden top-level windows only
//   bench_target crowd N X Y          N small visible top-level windows
//
// Each releases the ready semaphore once it stands and ends when the quit
// event is set (or after a quarter of an hour, should the driver be gone).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/bench_shared.h"

namespace {

bench::SharedRecord* g_shared = nullptr;
HANDLE g_styleEvent = nullptr;

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_STYLECHANGED && static_cast<int>(wParam) == GWL_STYLE) {
    const STYLESTRUCT* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
    if (static_cast<LONG>(change->styleNew) == bench::kBorderlessStyle && g_shared != nullptr) {
      g_shared->styleChangedQpc = bench::QpcNow();
      InterlockedIncrement(&g_shared->styleChanges);
      if (g_styleEvent != nullptr) SetEvent(g_styleEvent);
    }
  }
  if (msg == WM_CLOSE) return 0;  // only the quit event ends a stand-in
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool Register(HINSTANCE instance, const char* name) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = name;
  return RegisterClassExA(&wc) != 0;
}

int Arg(int argc, char** argv, int i, int fallback) {
  return i < argc ? std::atoi(argv[i]) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "idle";
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, bench::kQuitEventName);
  HANDLE ready = CreateSemaphoreA(nullptr, 0, 100000, bench::kReadySemaphoreName);
  if (quit == nullptr || ready == nullptr) return 2;

  if (std::strcmp(mode, "window") == 0) {
    g_shared = bench::OpenSharedRecord();
    g_styleEvent = CreateEventA(nullptr, FALSE, FALSE, bench::kStyleEventName);
    if (g_shared == nullptr || g_styleEvent == nullptr || !Register(instance, bench::kTargetClass)) {
      return 2;
    }
    HWND w = CreateWindowExA(0, bench::kTargetClass, "Bench game window",
                             static_cast<DWORD>(bench::kTargetStyle) & ~WS_VISIBLE,
                             Arg(argc, argv, 2, 40), Arg(argc, argv, 3, 40),
                             Arg(argc, argv, 4, 400), Arg(argc, argv, 5, 300), nullptr, nullptr,
                             instance, nullptr);
    if (w == nullptr) return 2;
    ShowWindow(w, SW_SHOWNOACTIVATE);
    UpdateWindow(w);
  } else if (std::strcmp(mode, "hidden") == 0) {
    if (!Register(instance, bench::kHiddenClass)) return 2;
    const int n = Arg(argc, argv, 2, 3);
    for (int i = 0; i < n; ++i) {
      if (CreateWindowExA(0, bench::kHiddenClass, "Bench hidden window", WS_OVERLAPPEDWINDOW,
                          100 + i * 10, 100 + i * 10, 300, 200, nullptr, nullptr, instance,
                          nullptr) == nullptr) {
        return 2;
      }
    }
  } else if (std::strcmp(mode, "crowd") == 0) {
    g_shared = bench::OpenSharedRecord();
    if (g_shared == nullptr || !Register(instance, bench::kCrowdClass)) return 2;
    const int n = Arg(argc, argv, 2, 50);
    const int x = Arg(argc, argv, 3, 1200);
    const int y = Arg(argc, argv, 4, 600);
    int made = 0;
    for (int i = 0; i < n; ++i) {
      char title[32];
      std::snprintf(title, sizeof title, "crowd %d", i);
      HWND w = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, bench::kCrowdClass, title,
                               WS_POPUP | WS_BORDER, x + (i % 20) * 30, y + (i / 20 % 20) * 20,
                               60, 40, nullptr, nullptr, instance, nullptr);
      if (w == nullptr) break;
      ShowWindow(w, SW_SHOWNOACTIVATE);
      ++made;
    }
    g_shared->crowdWindows = made;
  } else if (std::strcmp(mode, "idle") != 0) {
    std::fprintf(stderr, "bench_target: unknown mode %s\n", mode);
    return 2;
  }

  ReleaseSemaphore(ready, 1, nullptr);
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD waited = GetTickCount() - start;
    if (waited >= 15 * 60 * 1000) return 0;
    const DWORD r = MsgWaitForMultipleObjects(1, &quit, FALSE, 15 * 60 * 1000 - waited, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) return 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}
