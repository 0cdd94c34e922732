#include "core/message_pump.h"

namespace taldoris {

namespace {
MessageFilter* g_filter = nullptr;
}  // namespace

void InstallMessageFilter(MessageFilter* filter) { g_filter = filter; }

MessageFilter* InstalledMessageFilter() { return g_filter; }

void HandleMessage(WindowSystem& ws, const Message& msg) {
  if (g_filter != nullptr && g_filter->PreTranslate(msg)) return;
  ws.TranslateMessage(msg);
  ws.DispatchMessageA(msg);
}

void PumpPendingEvents(WindowSystem& ws) {
  for (;;) {
    Message head;
    if (!ws.PeekMessageA(&head)) return;
    // The quit message stays queued for the main message loop.
    if (head.message == WM_QUIT_MESSAGE) return;
    Message msg;
    if (!ws.GetMessageA(&msg)) return;
    HandleMessage(ws, msg);
  }
}

}  // namespace taldoris
