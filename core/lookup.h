// Process and window lookup.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "base/window_system.h"

namespace taldoris {

// First process in the snapshot whose executable name equals `name` once
// ASCII letters are lowered on both sides; 0 if none or no snapshot.
ProcessId FindProcessIdByName(WindowSystem& ws, const char* name);

// First visible top-level window of the process in Z-order, walking the list
// again from the top until found or until budgetMs have passed (tested only at
// the start of a step; one PumpPendingEvents per rejected candidate); 0 if none.
Hwnd FindVisibleWindowOfProcess(WindowSystem& ws, ProcessId pid, std::int32_t budgetMs);

// Owning process of the window; 0 when the platform names none.
ProcessId WindowProcessId(WindowSystem& ws, Hwnd hwnd);

// The window's title as a new text (empty for no title or no window).
Text WindowTitleText(WindowSystem& ws, Hwnd hwnd);

}  // namespace taldoris
