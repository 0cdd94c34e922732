#include "base/text.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace taldoris {

namespace {

bool IsLeadByte(char c) { return (static_cast<unsigned char>(c) & 0x80u) != 0; }

// A new buffer holding len bytes of `bytes` followed by a NUL.
char* CopyBytes(const char* bytes, std::size_t len) {
  char* buffer = AllocateTextBuffer(len + 1);
  if (len != 0) std::memcpy(buffer, bytes, len);
  buffer[len] = '\0';
  return buffer;
}

}  // namespace

// --- memory ---------------------------------------------------------------

void OnOutOfMemory() { std::_Exit(-1); }

char* AllocateTextBuffer(std::size_t size) {
  if (size == 0) size = 1;
  void* memory = ::operator new(size, std::nothrow);
  if (memory == nullptr) OnOutOfMemory();
  return static_cast<char*>(memory);
}

void ReleaseTextBuffer(char* buffer) noexcept { ::operator delete(buffer, std::nothrow); }

// --- Text -----------------------------------------------------------------

Text::Text(const char* bytes) {
  if (bytes != nullptr) bytes_ = CopyBytes(bytes, std::strlen(bytes));
}

Text::Text(const char* bytes, std::size_t len) {
  if (bytes != nullptr) bytes_ = CopyBytes(bytes, len);
}

Text::Text(const Text& other) {
  if (other.bytes_ != nullptr) bytes_ = CopyBytes(other.bytes_, std::strlen(other.bytes_));
}

Text::Text(Text&& other) noexcept : bytes_(other.bytes_) { other.bytes_ = nullptr; }

Text& Text::operator=(const Text& other) {
  if (this != &other) {
    Text copy(other);
    std::swap(bytes_, copy.bytes_);
  }
  return *this;
}

Text& Text::operator=(Text&& other) noexcept {
  if (this != &other) {
    ReleaseTextBuffer(bytes_);
    bytes_ = other.bytes_;
    other.bytes_ = nullptr;
  }
  return *this;
}

Text::~Text() { ReleaseTextBuffer(bytes_); }

Text Text::Adopt(char* buffer) noexcept {
  Text text;
  text.bytes_ = buffer;
  return text;
}

// --- helpers --------------------------------------------------------------

std::int32_t TextLength(const char* text) {
  if (text == nullptr) return 0;
  return static_cast<std::int32_t>(std::strlen(text));
}

std::int32_t CompareText(const char* left, const char* right) {
  if (left == nullptr) return (right == nullptr || right[0] == '\0') ? 0 : -1;
  if (right == nullptr) return left[0] == '\0' ? 0 : 1;
  const unsigned char* l = reinterpret_cast<const unsigned char*>(left);
  const unsigned char* r = reinterpret_cast<const unsigned char*>(right);
  for (;; ++l, ++r) {
    if (*l != *r) return *l < *r ? -1 : 1;
    if (*l == 0) return 0;
  }
}

Text ConcatText(const char* a, const char* b) { return ConcatText(a, b, nullptr); }

Text ConcatText(const char* a, const char* b, const char* c) {
  const char* parts[] = {a, b, c};
  std::size_t total = 0;
  for (const char* part : parts) total += static_cast<std::size_t>(TextLength(part));
  char* buffer = AllocateTextBuffer(total + 1);
  std::size_t at = 0;
  for (const char* part : parts) {
    const std::size_t len = static_cast<std::size_t>(TextLength(part));
    if (len != 0) std::memcpy(buffer + at, part, len);
    at += len;
  }
  buffer[at] = '\0';
  return Text::Adopt(buffer);
}

std::int32_t FindText(const char* haystack, const char* needle) {
  const std::int32_t l = TextLength(haystack);
  const std::int32_t n = TextLength(needle);
  if (n == 0) return l > 0 ? 1 : -1;
  std::int32_t start = 0;
  std::int32_t remaining = l;
  while (remaining >= n) {
    if (std::memcmp(haystack + start, needle, static_cast<std::size_t>(n)) == 0) return start + 1;
    if (IsLeadByte(haystack[start])) {
      if (haystack[start + 1] == '\0') break;  // a lone lead byte ends the text
      start += 2;
      remaining -= 2;
    } else {
      start += 1;
      remaining -= 1;
    }
  }
  return -1;
}

Text ToLowerText(const char* text) {
  const std::int32_t len = TextLength(text);
  if (len == 0) return Text();
  char* buffer = CopyBytes(text, static_cast<std::size_t>(len));
  for (char* p = buffer; *p != '\0'; ++p) {
    if (IsLeadByte(*p)) {
      // The trail byte of a two-byte character never changes, whatever its value.
      if (p[1] == '\0') break;
      ++p;
    } else if (*p >= 'A' && *p <= 'Z') {
      *p = static_cast<char>(*p + 0x20);
    }
  }
  return Text::Adopt(buffer);
}

Text DecimalText(std::int32_t value) {
  char digits[16];
  const int len = std::snprintf(digits, sizeof digits, "%" PRId32, value);
  return Text(digits, static_cast<std::size_t>(len));
}

Text BlankText(std::int32_t count) {
  if (count < 1) return Text();
  const std::size_t len = static_cast<std::size_t>(count);
  char* buffer = AllocateTextBuffer(len + 1);
  std::memset(buffer, ' ', len);
  buffer[len] = '\0';
  return Text::Adopt(buffer);
}

Text ByteArrayText(const std::uint8_t* bytes, std::size_t count) {
  if (bytes == nullptr || count == 0) return Text();
  const void* zero = std::memchr(bytes, 0, count);
  const std::size_t len =
      zero != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes)
                      : count;
  if (len == 0) return Text();
  return Text(reinterpret_cast<const char*>(bytes), len);
}

}  // namespace taldoris
