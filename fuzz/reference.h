// Plain reference models of the text rules, written for the fuzz targets
// independently of base/text.cpp: each walks the bytes the slow, obvious way
// so that a disagreement points at the optimised helper.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace taldoris_fuzz {

inline bool IsLeadByte(unsigned char c) { return c >= 0x80; }

// Offsets at which a character begins: a lead byte (high bit set) covers the
// byte after it, whatever that byte is; a lead byte right before the end is a
// character start of its own and ends the walk.
inline std::vector<std::size_t> CharacterStarts(const std::string& s) {
  std::vector<std::size_t> starts;
  std::size_t i = 0;
  while (i < s.size()) {
    starts.push_back(i);
    if (IsLeadByte(static_cast<unsigned char>(s[i]))) {
      if (i + 1 >= s.size()) break;
      i += 2;
    } else {
      i += 1;
    }
  }
  return starts;
}

// 1-based position of the first match that begins on a character start, or -1.
// An empty needle is found at 1 in a non-empty haystack and nowhere in an empty one.
inline std::int32_t RefFind(const std::string& haystack, const std::string& needle) {
  if (needle.empty()) return haystack.empty() ? -1 : 1;
  for (std::size_t start : CharacterStarts(haystack)) {
    if (start + needle.size() > haystack.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < needle.size(); ++k) {
      if (haystack[start + k] != needle[k]) {
        same = false;
        break;
      }
    }
    if (same) return static_cast<std::int32_t>(start + 1);
  }
  return -1;
}

// Only A-Z outside two-byte characters become lower case.
inline std::string RefLower(const std::string& s) {
  std::string out = s;
  for (std::size_t start : CharacterStarts(s)) {
    unsigned char c = static_cast<unsigned char>(out[start]);
    if (c >= 'A' && c <= 'Z') out[start] = static_cast<char>(c + 0x20);
  }
  return out;
}

// Sign of an unsigned byte-wise comparison; the shorter of two texts that
// agree up to its end is the smaller.
inline std::int32_t RefCompare(const std::string& a, const std::string& b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

// Splits raw fuzz input at its zero bytes (a text holds no NUL of its own).
inline std::vector<std::string> SplitAtNul(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      parts.emplace_back();
    } else {
      parts.back().push_back(static_cast<char>(data[i]));
    }
  }
  return parts;
}

}  // namespace taldoris_fuzz
