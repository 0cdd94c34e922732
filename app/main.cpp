// The process entry: builds MainWindow and runs the message loop. No
// command-line argument, setting or file is read.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "base/win32_window_system.h"
#include "core/message_pump.h"
#include "ui/main_window.h"

namespace {

// The program's own folder becomes the current directory, as when the
// program is started from its icon.
void EnterProgramFolder() {
  char path[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  for (DWORD i = length; i > 0; --i) {
    if (path[i - 1] == '\\' || path[i - 1] == '/') {
      path[i - 1] = '\0';
      break;
    }
  }
  // A drive root keeps its backslash ("C:" alone means that drive's own
  // current directory).
  if (path[0] != '\0' && path[1] == ':' && path[2] == '\0') {
    path[2] = '\\';
    path[3] = '\0';
  }
  SetCurrentDirectoryA(path);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  taldoris::RestrictDllSearchToSystem();
  EnterProgramFolder();

  static taldoris::Win32WindowSystem ws;
  static taldoris::MainWindow window(ws);
  if (!window.Create(instance)) {
    MessageBoxA(nullptr, "载入启动窗口失败", "错误", MB_OK | MB_ICONERROR);
    ExitProcess(static_cast<UINT>(-1));
  }
  window.OnCreated();
  window.Show();

  // Closing the window ends the process inside its destruction, so this loop
  // only ends if another program posts a quit message to the thread.
  taldoris::Message msg;
  while (ws.GetMessageA(&msg)) {
    taldoris::HandleMessage(ws, msg);
  }
  return static_cast<int>(msg.wParam);
}
