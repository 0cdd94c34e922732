#include "core/notice.h"

#include "core/lookup.h"

namespace taldoris {

void ShowNotice(WindowSystem& ws, const char* text, const char* caption, std::uint32_t type) {
  // Looked up anew for every notice: the tool's own window, or a notice that
  // is already open above it.
  const Hwnd owner = FindVisibleWindowOfProcess(ws, ws.GetCurrentProcessId(), kOwnerLookupBudgetMs);
  ws.MessageBoxTimeoutA(owner, text, caption, type, 0, kNoticeDefaultTimeoutMs);
}

}  // namespace taldoris
