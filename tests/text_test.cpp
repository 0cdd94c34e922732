// The text type and its eight helpers, with real GBK bytes (the sources are
// compiled with -fexec-charset=GBK, and the byte escapes below spell GBK
// characters out where the exact byte values matter).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "base/text.h"

namespace taldoris {
namespace {

// Bytes of a text as a std::string, absent distinguished as "<absent>" so
// that a test can tell which one a helper gave where that matters.
std::string Bytes(const Text& t) { return t.absent() ? std::string("<absent>") : std::string(t.get()); }

// 0x81 0x41 is a GBK character whose trail byte equals the code of 'A'.
constexpr const char kLeadTrailA[] = "\x81\x41";      // two-byte char, trail 'A'
constexpr const char kLeadTrailLowA[] = "\x81\x61";   // two-byte char, trail 'a'

TEST(TextType, AbsentAndPresentCopiesAndMoves) {
  Text absent;
  EXPECT_TRUE(absent.absent());
  EXPECT_STREQ(absent.c_str(), "");
  EXPECT_EQ(absent.get(), nullptr);

  Text fromNull(static_cast<const char*>(nullptr));
  EXPECT_TRUE(fromNull.absent());

  Text a("abc");
  Text copy(a);
  EXPECT_STREQ(copy.get(), "abc");
  EXPECT_NE(copy.get(), a.get()) << "a copy owns its own bytes";

  Text moved(std::move(copy));
  EXPECT_STREQ(moved.get(), "abc");
  EXPECT_TRUE(copy.absent());  // NOLINT(bugprone-use-after-move): moved-from is absent

  Text assigned;
  assigned = a;
  EXPECT_STREQ(assigned.get(), "abc");
  assigned = Text();
  EXPECT_TRUE(assigned.absent());
  assigned = assigned;  // self-assignment keeps the text
  EXPECT_TRUE(assigned.absent());
  Text self("xy");
  self = self;
  EXPECT_STREQ(self.get(), "xy");

  Text part("abcdef", 3);
  EXPECT_STREQ(part.get(), "abc");
}

TEST(TextLength, CountsBytesNotCharacters) {
  EXPECT_EQ(TextLength(nullptr), 0);
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("exe"), 3);
  EXPECT_EQ(TextLength("状态"), 4);  // two GBK characters
  EXPECT_EQ(TextLength("ID："), 4);
}

TEST(CompareText, Table) {
  struct Case {
    const char* left;
    const char* right;
    std::int32_t expected;
  } const cases[] = {
      {nullptr, nullptr, 0},
      {nullptr, "", 0},
      {"", nullptr, 0},
      {"", "", 0},
      {nullptr, "a", -1},
      {"a", nullptr, 1},
      {"", "a", -1},
      {"a", "", 1},
      {"abc", "abc", 0},
      {"abc", "abcd", -1},  // a prefix is the smaller
      {"abcd", "abc", 1},
      {"\xB0", "A", 1},     // bytes are unsigned: 0xB0 > 0x41
      {"A", "\xB0", -1},
      {"\xFF", "\x7F", 1},
      {"ABC", "abc", -1},   // exact, no case folding
      {"状态", "状态", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareText(c.left, c.right), c.expected)
        << "left=" << (c.left ? c.left : "<absent>") << " right=" << (c.right ? c.right : "<absent>");
  }
}

TEST(ConcatText, JoinsPartsAndIsAlwaysPresent) {
  EXPECT_EQ(Bytes(ConcatText("[ ", "title", " ]")), "[ title ]");
  EXPECT_EQ(Bytes(ConcatText("ab", nullptr, "cd")), "abcd");
  EXPECT_EQ(Bytes(ConcatText(nullptr, nullptr, nullptr)), "");
  EXPECT_EQ(Bytes(ConcatText("", "")), "");
  EXPECT_EQ(Bytes(ConcatText("ID：", "-1")), "ID：-1");
  EXPECT_EQ(Bytes(ConcatText(nullptr, "x")), "x");
}

TEST(ConcatText, LeavesItsArgumentsAlone) {
  Text a("left");
  Text b("right");
  const char* aBytes = a.get();
  Text joined = ConcatText(a, b);
  EXPECT_EQ(a.get(), aBytes);
  EXPECT_STREQ(a.get(), "left");
  EXPECT_STREQ(b.get(), "right");
  EXPECT_STREQ(joined.get(), "leftright");
}

TEST(FindText, Table) {
  struct Case {
    const char* haystack;
    const char* needle;
    std::int32_t expected;
    const char* why;
  } const cases[] = {
      {"game.exe", "exe", 6, "plain match"},
      {"exe", "exe", 1, "the marker alone"},
      {"myexegame", "exe", 3, "inside a word, no dot needed"},
      {"GAME.EXE", "exe", -1, "case-sensitive"},
      {"abc", "", 1, "empty needle on non-empty haystack"},
      {"", "", -1, "empty needle on empty haystack"},
      {nullptr, nullptr, -1, "both absent"},
      {nullptr, "a", -1, "absent haystack"},
      {"abc", nullptr, 1, "absent needle is empty"},
      {"ab", "abc", -1, "needle longer than haystack"},
      {kLeadTrailA, "A", -1, "trail byte equal to the needle is no match"},
      {"\x81\x41" "A", "A", 3, "the same byte standing alone after the character"},
      {"a\xB0", "\xB0", 2, "lone lead byte at the end is still tested"},
      {"\xB0", "\xB0", 1, "lone lead byte alone"},
      {"\xB0", "a", -1, "lone lead byte, no match, the scan stops"},
      {"\xB0\x41\xB0", "\x41\xB0", -1, "a match at a trail byte is never tried"},
      {"\xB0\x41\xB0\x41", "\xB0", 1, "first character start"},
      {"x\xB0\x41", "\xB0\x41", 2, "two-byte needle at a character start"},
      {"\xB0\x41" "B", "\xB0", 1, "match may end inside a two-byte char"},
      {"\xCB\xB5\xC3\xF7.exe", "exe", 6, "GBK name then the marker"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindText(c.haystack, c.needle), c.expected) << c.why;
  }
}

TEST(ToLowerText, Table) {
  struct Case {
    const char* input;
    const char* expected;  // null: the absent text
  } const cases[] = {
      {nullptr, nullptr},
      {"", nullptr},
      {"GAME.EXE", "game.exe"},
      {"MiXeD123.Exe", "mixed123.exe"},
      {"az09!@[`{~", "az09!@[`{~"},  // lower case, digits, punctuation, the neighbours of A-Z
      {"AZ", "az"},
      {kLeadTrailA, kLeadTrailA},              // trail 'A' is not lowered
      {"\x81\x41" "A", "\x81\x41" "a"},        // the standalone A after it is
      {"B\xC6\x5A" "C", "b\xC6\x5A" "c"},      // trail 'Z' untouched between letters
      {"Q\xB0", "q\xB0"},                      // lone lead byte at the end
      {"\xD3\xCE\xCF\xB7.EXE", "\xD3\xCE\xCF\xB7.exe"},  // 游戏.EXE
  };
  for (const Case& c : cases) {
    Text lowered = ToLowerText(c.input);
    if (c.expected == nullptr) {
      EXPECT_TRUE(lowered.absent()) << (c.input ? c.input : "<absent>");
    } else {
      EXPECT_EQ(Bytes(lowered), std::string(c.expected));
    }
  }
  EXPECT_EQ(Bytes(ToLowerText(kLeadTrailLowA)), std::string(kLeadTrailLowA));
}

TEST(ToLowerText, LeavesItsArgumentAlone) {
  char input[] = "ABC";
  Text lowered = ToLowerText(input);
  EXPECT_STREQ(input, "ABC");
  EXPECT_STREQ(lowered.get(), "abc");
  EXPECT_NE(lowered.get(), input);
}

TEST(DecimalText, Table) {
  struct Case {
    std::int32_t value;
    const char* expected;
  } const cases[] = {
      {0, "0"},
      {-1, "-1"},
      {7, "7"},
      {65552, "65552"},
      {std::numeric_limits<std::int32_t>::max(), "2147483647"},
      {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
  };
  for (const Case& c : cases) EXPECT_EQ(Bytes(DecimalText(c.value)), c.expected);
  EXPECT_EQ(TextLength(DecimalText(std::numeric_limits<std::int32_t>::min())), 11);
}

TEST(BlankText, CountsBelowOneAreAbsent) {
  EXPECT_TRUE(BlankText(0).absent());
  EXPECT_TRUE(BlankText(-1).absent());
  EXPECT_TRUE(BlankText(std::numeric_limits<std::int32_t>::min()).absent());
  EXPECT_EQ(Bytes(BlankText(1)), " ");
  Text fifty = BlankText(50);
  ASSERT_FALSE(fifty.absent());
  EXPECT_EQ(Bytes(fifty), std::string(50, ' '));
  EXPECT_EQ(fifty.get()[50], '\0');
}

TEST(ByteArrayText, Table) {
  const std::uint8_t leadingZero[] = {0, 'a', 'b'};
  const std::uint8_t padded[260] = {'G', 'A', 'M', 'E', '.', 'e', 'x', 'e'};
  const std::uint8_t full[] = {'a', 'b', 'c'};
  const std::uint8_t gbk[] = {0xD3, 0xCE, 0xCF, 0xB7, 0, 'x'};
  EXPECT_TRUE(ByteArrayText(leadingZero, sizeof leadingZero).absent());
  EXPECT_TRUE(ByteArrayText(full, 0).absent());
  EXPECT_TRUE(ByteArrayText(nullptr, 0).absent());
  EXPECT_EQ(Bytes(ByteArrayText(padded, sizeof padded)), "GAME.exe");
  EXPECT_EQ(Bytes(ByteArrayText(full, sizeof full)), "abc");  // no zero byte: all of them
  EXPECT_EQ(Bytes(ByteArrayText(gbk, sizeof gbk)), "\xD3\xCE\xCF\xB7");
}

TEST(TextLiterals, ProgramStringsAreGbk) {
  // The build turns UTF-8 literals into GBK, as the program shows them.
  EXPECT_EQ(std::string("ID："), std::string("\x49\x44\xA3\xBA"));
  EXPECT_EQ(std::string("状态"), std::string("\xD7\xB4\xCC\xAC"));
}

TEST(TextMemoryDeathTest, FailedAllocationEndsTheProcessWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(AllocateTextBuffer(std::numeric_limits<std::size_t>::max()),
              ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(OnOutOfMemory(), ::testing::ExitedWithCode(255), "");
}

}  // namespace
}  // namespace taldoris
