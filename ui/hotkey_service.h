// The hotkey service: lets a window of the tool own system-wide hotkeys and
// turns every press into kFeedbackMessage sent to a receiver window.
#pragma once

#include <cstdint>

#include "base/window_system.h"

namespace taldoris {

constexpr std::int32_t kFirstHotkeyId = 33001;
constexpr std::uint32_t kFeedbackMessage = WM_APP_MESSAGE + 117;  // 32885
constexpr std::uint32_t kHomeKey = 36;                             // VK_HOME

// The service talks to the platform through this WindowSystem (set by
// RegisterGlobalHotkey; the window procedure uses it too).
// Returns the hotkey id (33001 or above) when accepted, 0 when refused.
std::int32_t RegisterGlobalHotkey(WindowSystem& ws, Hwnd window, Hwnd receiver,
                                  std::uint32_t modifiers, std::uint32_t key);

// The window procedure installed on the owning window.
LResult TALDORIS_CALLBACK HotkeyWindowProc(Hwnd hwnd, std::uint32_t msg, WParam wParam,
                                           LParam lParam);

// Modifier code (1 Ctrl, 2 Shift, 4 Alt, added up) -> MOD_ flags.
std::uint32_t TranslateModifiers(std::uint32_t code);

// Forgets all state (tests only; the tool never releases its hotkey).
void ResetHotkeyServiceForTesting();

}  // namespace taldoris
