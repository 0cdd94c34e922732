// Counts every allocation made through the global operator new in the test
// program (text buffers included: they come from operator new too), so a
// test can prove that a loop allocates nothing per round.
#pragma once

#include <cstdint>

namespace taldoris {
namespace fake {

std::uint64_t AllocationCount();

}  // namespace fake
}  // namespace taldoris
