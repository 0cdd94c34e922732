// The helpers that make new texts, against the reference models and snprintf:
// ToLowerText, ConcatText (two and three parts), ByteArrayText, BlankText and
// DecimalText. Input: up to three NUL-separated texts; the raw bytes also feed
// ByteArrayText, and their first and last four bytes give the integers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/text.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/reference.h"

using taldoris::Text;

namespace {

std::string Bytes(const Text& t) { return t.absent() ? std::string() : std::string(t.get()); }

std::int32_t IntAt(const std::uint8_t* data, std::size_t size, bool fromEnd) {
  std::uint8_t raw[4] = {0, 0, 0, 0};
  for (std::size_t k = 0; k < 4 && k < size; ++k) raw[k] = data[fromEnd ? size - 1 - k : k];
  std::uint32_t u = static_cast<std::uint32_t>(raw[0]) | (static_cast<std::uint32_t>(raw[1]) << 8) |
                    (static_cast<std::uint32_t>(raw[2]) << 16) |
                    (static_cast<std::uint32_t>(raw[3]) << 24);
  std::int32_t v;
  std::memcpy(&v, &u, sizeof v);
  return v;
}

// Two's-complement negation without signed overflow (INT32_MIN stays itself).
std::int32_t Negated(std::int32_t v) {
  std::uint32_t u;
  std::memcpy(&u, &v, sizeof u);
  u = 0u - u;
  std::memcpy(&v, &u, sizeof v);
  return v;
}

void CheckLower(const std::string& s) {
  const std::string before = s;
  Text lowered = taldoris::ToLowerText(s.c_str());
  FUZZ_CHECK(lowered.absent() == s.empty());
  FUZZ_CHECK(taldoris::TextLength(lowered) == static_cast<std::int32_t>(s.size()));
  FUZZ_CHECK(Bytes(lowered) == taldoris_fuzz::RefLower(s));
  FUZZ_CHECK(s == before);
  // Lowering twice changes nothing more.
  FUZZ_CHECK(Bytes(taldoris::ToLowerText(lowered)) == Bytes(lowered));
}

void CheckDecimal(std::int32_t v) {
  char expected[16];
  std::snprintf(expected, sizeof expected, "%d", v);
  Text t = taldoris::DecimalText(v);
  FUZZ_CHECK(!t.absent());
  FUZZ_CHECK(std::strcmp(t.get(), expected) == 0);
}

void CheckBlank(std::int32_t count) {
  // Keep each run cheap: large counts are folded into 16 bits.
  if (count > 0xFFFF) count &= 0xFFFF;
  Text t = taldoris::BlankText(count);
  if (count < 1) {
    FUZZ_CHECK(t.absent());
    return;
  }
  FUZZ_CHECK(!t.absent());
  FUZZ_CHECK(taldoris::TextLength(t) == count);
  FUZZ_CHECK(std::string(t.get()) == std::string(static_cast<std::size_t>(count), ' '));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = taldoris_fuzz::SplitAtNul(data, size);
  while (parts.size() < 3) parts.emplace_back();
  const std::string& a = parts[0];
  const std::string& b = parts[1];
  const std::string& c = parts[2];

  CheckLower(a);
  CheckLower(b);

  Text ab = taldoris::ConcatText(a.c_str(), b.c_str());
  FUZZ_CHECK(!ab.absent());
  FUZZ_CHECK(taldoris::TextLength(ab) == static_cast<std::int32_t>(a.size() + b.size()));
  FUZZ_CHECK(Bytes(ab) == a + b);
  Text abc = taldoris::ConcatText(a.c_str(), b.c_str(), c.c_str());
  FUZZ_CHECK(!abc.absent());
  FUZZ_CHECK(Bytes(abc) == a + b + c);
  Text withAbsent = taldoris::ConcatText(a.c_str(), nullptr, c.c_str());
  FUZZ_CHECK(!withAbsent.absent());
  FUZZ_CHECK(Bytes(withAbsent) == a + c);
  FUZZ_CHECK(!taldoris::ConcatText(nullptr, nullptr).absent());

  // The raw bytes, zeros included, as a zero-padded record field.
  std::size_t run = 0;
  while (run < size && data[run] != 0) ++run;
  Text field = taldoris::ByteArrayText(data, size);
  FUZZ_CHECK(field.absent() == (run == 0));
  FUZZ_CHECK(Bytes(field) == std::string(reinterpret_cast<const char*>(data), run));

  const std::int32_t first = IntAt(data, size, false);
  const std::int32_t last = IntAt(data, size, true);
  CheckDecimal(first);
  CheckDecimal(last);
  CheckDecimal(Negated(first));
  CheckBlank(first);
  CheckBlank(last);
  return 0;
}
