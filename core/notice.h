// Timed notice boxes, owned by the tool's own window.
#pragma once

#include <cstdint>

#include "base/window_system.h"

namespace taldoris {

constexpr std::uint32_t kNoticeDefaultTimeoutMs = 5000;
constexpr std::int32_t kOwnerLookupBudgetMs = 1000;

// Looks up the owner (first visible top-level window of this process within
// kOwnerLookupBudgetMs, else none) and shows a modal OK box that closes itself
// after kNoticeDefaultTimeoutMs. Returns when the box has closed.
void ShowNotice(WindowSystem& ws, const char* text, const char* caption, std::uint32_t type);

}  // namespace taldoris
