// The borderless conversion and its two triggers.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "base/window_system.h"
#include "core/tool_window.h"

namespace taldoris {

constexpr std::uint32_t kBorderlessStyle = 0x16020000u;
constexpr std::int32_t kNameLookupBudgetMs = 100;

struct StyleChange {
  std::int32_t previous = 0;  // what SetWindowLongA returned
  bool applied = false;       // false only when the platform refused the change
};

// Overwrites the window's style word with kBorderlessStyle; nothing else.
StyleChange ApplyBorderless(WindowSystem& ws, Hwnd hwnd);

// Window to convert for a typed executable name; 0 when the process (if any)
// shows no visible top-level window within kNameLookupBudgetMs. A name that
// matches no running process gives 0 at once, without a window search.
Hwnd WindowOfProcessName(WindowSystem& ws, const char* name);

// Handler of 标签1's feedback event (the hotkey): converts the window under
// the cursor. Both arguments are ignored.
void BorderlessByCursor(WindowSystem& ws, ToolWindow& window, std::intptr_t arg1,
                        std::intptr_t arg2);

// Handler of the click of 按钮1: converts the first visible top-level window
// of the process named in 编辑框1.
void BorderlessByProcessName(WindowSystem& ws, ToolWindow& window);

}  // namespace taldoris
