// The once-a-second probe: title and handle of the window under the cursor.
#pragma once

#include "base/window_system.h"
#include "core/tool_window.h"

namespace taldoris {

constexpr std::uint32_t kProbeIntervalMs = 1000;

// Writes "[ " + title + " ]" into 标签6, then "ID：" + signed handle into 标签8.
void CursorProbe(WindowSystem& ws, ToolWindow& window);

}  // namespace taldoris
