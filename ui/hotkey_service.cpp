#include "ui/hotkey_service.h"

namespace taldoris {

namespace {

constexpr std::uint32_t kMods[] = {
    0,      // 0: none
    2,      // 1: Ctrl        -> MOD_CONTROL
    4,      // 2: Shift       -> MOD_SHIFT
    2 | 4,  // 3: Ctrl+Shift
    1,      // 4: Alt         -> MOD_ALT
    2 | 1,  // 5: Ctrl+Alt
    4 | 1,  // 6: Shift+Alt
};

// One per process: only one window is ever watched.
struct HotkeyServiceState {
  WindowSystem* ws = nullptr;
  Hwnd receiver = 0;
  std::uint32_t issued = 0;
  std::uint32_t lastId = 0;
  WindowProc previous = nullptr;
};

HotkeyServiceState g_state;

}  // namespace

std::uint32_t TranslateModifiers(std::uint32_t code) {
  // Whole values only: 7 (all three) and anything else pass unchanged.
  if (code >= 1 && code <= 6) return kMods[code];
  return code;
}

std::int32_t RegisterGlobalHotkey(WindowSystem& ws, Hwnd window, Hwnd receiver,
                                  std::uint32_t modifiers, std::uint32_t key) {
  g_state.ws = &ws;
  g_state.receiver = receiver;  // the last registration names the receiver of every hotkey
  const std::uint32_t flags = TranslateModifiers(modifiers);
  if (g_state.previous == nullptr) {
    // Watch the owning window before registering; kept even if the
    // registration is refused. A refused replacement is tried again next time.
    g_state.previous = ws.SetWindowProcA(window, &HotkeyWindowProc);
  }
  // The id is used up whether or not the registration is accepted.
  ++g_state.issued;
  g_state.lastId = static_cast<std::uint32_t>(kFirstHotkeyId) - 1 + g_state.issued;
  const std::int32_t id = static_cast<std::int32_t>(g_state.lastId);
  return ws.RegisterHotKey(window, id, flags, key) ? id : 0;
}

LResult TALDORIS_CALLBACK HotkeyWindowProc(Hwnd hwnd, std::uint32_t msg, WParam wParam,
                                           LParam lParam) {
  WindowSystem* ws = g_state.ws;
  if (ws == nullptr) return 0;
  if (msg == WM_HOTKEY_MESSAGE && wParam >= static_cast<WParam>(kFirstHotkeyId) &&
      wParam <= static_cast<WParam>(g_state.lastId)) {
    // One of the ids handed out: the receiver's feedback event runs now,
    // before the previous procedure sees the hotkey message.
    ws->SendMessageA(g_state.receiver, kFeedbackMessage, wParam, 0);
  }
  return ws->CallWindowProcA(g_state.previous, hwnd, msg, wParam, lParam);
}

void ResetHotkeyServiceForTesting() { g_state = HotkeyServiceState(); }

}  // namespace taldoris
