// FindText, CompareText and TextLength against the reference models.
// Input: haystack, NUL, needle (a missing needle is the empty text).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "base/text.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/reference.h"

using taldoris::CompareText;
using taldoris::FindText;
using taldoris::TextLength;
using taldoris_fuzz::RefCompare;
using taldoris_fuzz::RefFind;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = taldoris_fuzz::SplitAtNul(data, size);
  const std::string haystack = parts[0];
  const std::string needle = parts.size() > 1 ? parts[1] : std::string();
  const char* h = haystack.c_str();
  const char* n = needle.c_str();

  FUZZ_CHECK(TextLength(h) == static_cast<std::int32_t>(haystack.size()));
  FUZZ_CHECK(TextLength(nullptr) == 0);

  const std::int32_t found = FindText(h, n);
  FUZZ_CHECK(found == RefFind(haystack, needle));
  // Absent arguments read as empty ones.
  FUZZ_CHECK(FindText(nullptr, n) == RefFind(std::string(), needle));
  FUZZ_CHECK(FindText(h, nullptr) == RefFind(haystack, std::string()));
  // The marker the name path looks for, in the fuzzed text.
  FUZZ_CHECK(FindText(h, "exe") == RefFind(haystack, "exe"));
  if (found > 0) {
    FUZZ_CHECK(std::memcmp(h + found - 1, n, needle.size()) == 0);
  }

  const std::int32_t order = CompareText(h, n);
  FUZZ_CHECK(order == RefCompare(haystack, needle));
  FUZZ_CHECK(CompareText(n, h) == -order);
  FUZZ_CHECK(CompareText(h, h) == 0);
  FUZZ_CHECK(CompareText(nullptr, h) == (haystack.empty() ? 0 : -1));
  FUZZ_CHECK(CompareText(h, nullptr) == (haystack.empty() ? 0 : 1));

  // Neither helper changes its arguments.
  FUZZ_CHECK(haystack == parts[0]);
  FUZZ_CHECK(needle == (parts.size() > 1 ? parts[1] : std::string()));
  return 0;
}
