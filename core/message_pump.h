// Handling of one queued message, shared by the main message loop and by the
// event pumping of the window searches: the main window's pre-translation
// looks at it first (that is where Esc is taken); unless it consumed the
// message, TranslateMessage and DispatchMessageA follow.
#pragma once

#include "base/window_system.h"

namespace taldoris {

class MessageFilter {
 public:
  virtual ~MessageFilter() = default;
  // True when the message was consumed and must not be dispatched.
  virtual bool PreTranslate(const Message& msg) = 0;
};

// One filter per process (the main window's); null removes it.
void InstallMessageFilter(MessageFilter* filter);
MessageFilter* InstalledMessageFilter();

// Pre-translation, then TranslateMessage + DispatchMessageA.
void HandleMessage(WindowSystem& ws, const Message& msg);

// Handles every message waiting in the thread's queue; returns when the queue
// is empty or its head is WM_QUIT (which stays queued for the main loop).
void PumpPendingEvents(WindowSystem& ws);

}  // namespace taldoris
