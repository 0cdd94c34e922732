// Text: a NUL-closed byte string in the ANSI code page (GBK for the tool's own
// strings). Absent (null) and empty are the same text under every helper.
// Lengths and positions count bytes. A byte with the high bit set begins a
// two-byte character.
//
// Every helper that makes a text returns a new Text that owns its bytes; the
// caller releases it simply by letting it go out of scope. Helpers take plain
// `const char*` (null = absent) so that both Text values and literals can be
// passed; no helper changes its arguments.
#pragma once

#include <cstddef>
#include <cstdint>

namespace taldoris {

class Text {
 public:
  Text() noexcept = default;                 // the absent text
  explicit Text(const char* bytes);          // copy of bytes (null -> absent)
  Text(const char* bytes, std::size_t len);  // copy of len bytes + NUL
  Text(const Text& other);
  Text(Text&& other) noexcept;
  Text& operator=(const Text& other);
  Text& operator=(Text&& other) noexcept;
  ~Text();

  // Null for the absent text, else the NUL-closed bytes.
  const char* get() const noexcept { return bytes_; }
  // Never null: "" for the absent text.
  const char* c_str() const noexcept { return bytes_ ? bytes_ : ""; }
  bool absent() const noexcept { return bytes_ == nullptr; }
  operator const char*() const noexcept { return bytes_; }  // NOLINT: helpers take const char*

  // Writable access for receive buffers (BlankText). Null when absent.
  char* data() noexcept { return bytes_; }

  // Takes ownership of a buffer allocated with AllocateTextBuffer.
  static Text Adopt(char* buffer) noexcept;

 private:
  char* bytes_ = nullptr;
};

// Allocates size bytes for a text; never returns null: when memory cannot be
// had the process ends with exit code -1 (see OnOutOfMemory).
char* AllocateTextBuffer(std::size_t size);
void ReleaseTextBuffer(char* buffer) noexcept;

// Ends the process with exit code -1. Called on every failed allocation; no
// helper ever hands out a partial or absent text instead.
[[noreturn]] void OnOutOfMemory();

// Byte count before the NUL; 0 for an absent or empty text.
std::int32_t TextLength(const char* text);
// -1, 0 or +1; bytes compared unsigned; absent equals empty.
std::int32_t CompareText(const char* left, const char* right);
// Their bytes one after another; always present (maybe empty).
Text ConcatText(const char* a, const char* b);
Text ConcatText(const char* a, const char* b, const char* c);
// 1-based byte position of the first match starting on a character boundary,
// or -1. Empty needle: 1 on a non-empty haystack, else -1.
std::int32_t FindText(const char* haystack, const char* needle);
// ASCII A-Z lowered; bytes of two-byte characters untouched. Absent if empty.
Text ToLowerText(const char* text);
// "%d" form of value.
Text DecimalText(std::int32_t value);
// count spaces; absent for count < 1.
Text BlankText(std::int32_t count);
// Bytes before the first zero byte (all if none); absent if that run is empty.
Text ByteArrayText(const std::uint8_t* bytes, std::size_t count);

}  // namespace taldoris
