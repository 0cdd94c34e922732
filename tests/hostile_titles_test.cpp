// Titles are whatever other programs make of them: one that grows or shrinks
// between the length query and the copy, a length that overstates the title
// (as the platform's documentation allows) or makes no sense, a title of
// 1 MiB, one that ends in a lone GBK lead byte. The title reader never reads
// or writes outside its buffer, and the probe shows exactly the bytes the
// reader got.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "core/cursor_probe.h"
#include "core/lookup.h"
#include "tests/fake_desktop.h"
#include "tests/hostile_desktop.h"

namespace taldoris {
namespace {

using fake::FakeToolWindow;
using fake::Op;
using fake::WindowSpec;
using hostile::HostileDesktop;

constexpr Hwnd kWindow = 0x700;

// A desktop whose length query answers with a fixed value when asked to.
class LyingLengthDesktop : public HostileDesktop {
 public:
  bool lies = false;
  std::int32_t claimedLength = 0;
  std::int32_t GetWindowTextLengthA(Hwnd hwnd) override {
    const std::int32_t real = HostileDesktop::GetWindowTextLengthA(hwnd);
    return lies ? claimedLength : real;
  }
};

struct TitleCase {
  const char* label;
  std::string before;      // the title when its length is asked
  bool changes;            // the title changes just before the copy
  std::string during;      // ... to this
  bool lies;               // the length query answers claimedLength instead
  std::int32_t claimedLength;
  std::string expected;    // what WindowTitleText yields
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const TitleCase& c, std::ostream* os) { *os << c.label; }


class HostileTitleTest : public ::testing::TestWithParam<TitleCase> {
 protected:
  void SetUp() override {
    const TitleCase& c = GetParam();
    WindowSpec spec;
    spec.hwnd = kWindow;
    spec.pid = 0x2000;
    spec.rect = Rect{0, 0, 200, 100};
    spec.title = c.before;
    desktop.AddTopLevel(spec);
    desktop.cursor = Point{5, 5};
    desktop.lies = c.lies;
    desktop.claimedLength = c.claimedLength;
    if (c.changes) {
      desktop.beforeCall = [this, c](int, Op op, Hwnd hwnd) {
        if (op == Op::GetWindowText && hwnd == kWindow) desktop.SetTitle(kWindow, c.during);
      };
    }
  }

  LyingLengthDesktop desktop;
};

TEST_P(HostileTitleTest, TitleReaderKeepsToItsBuffer) {
  const Text title = WindowTitleText(desktop, kWindow);
  EXPECT_EQ(std::string(title.c_str()), GetParam().expected);
  EXPECT_EQ(desktop.Calls(Op::GetWindowText), 1);
}

TEST_P(HostileTitleTest, ProbeShowsExactlyTheTitleBytes) {
  FakeToolWindow window;
  CursorProbe(desktop, window);
  EXPECT_EQ(window.caption6, "[ " + GetParam().expected + " ]");
  EXPECT_EQ(window.caption8, "ID：" + std::to_string(kWindow));
}

const std::string kMebibyte = [] {
  std::string s(1 << 20, 'x');
  for (std::size_t i = 0; i < s.size(); i += 97) s[i] = static_cast<char>('A' + i % 26);
  return s;
}();

INSTANTIATE_TEST_SUITE_P(
    Titles, HostileTitleTest,
    ::testing::Values(
        // Grows: the copy is cut to the size announced by the length query.
        TitleCase{"GrowsBeforeTheCopy", "short", true, "a much longer title", false, 0, "a muc"},
        TitleCase{"GrowsFromEmpty", "", true, "now it has a title", false, 0, ""},
        TitleCase{"GrowsToAMebibyte", "tiny", true, kMebibyte, false, 0, kMebibyte.substr(0, 4)},
        TitleCase{"GrowsAndTheCutSplitsACharacter", "abc", true, "ab\xd3\xce", false, 0,
                  "ab\xd3"},
        // Shrinks: the copy ends at the shorter title's NUL, no blanks left.
        TitleCase{"ShrinksBeforeTheCopy", "a much longer title", true, "tiny", false, 0, "tiny"},
        TitleCase{"EmptiedBeforeTheCopy", "a title", true, "", false, 0, ""},
        TitleCase{"MebibyteShrinks", kMebibyte, true, "small", false, 0, "small"},
        // The length query overstates the title, or makes no sense.
        TitleCase{"LengthOverstated", "Game", false, "", true, 4096, "Game"},
        TitleCase{"LengthUnderstated", "Game window", false, "", true, 4, "Game"},
        TitleCase{"LengthNegative", "Game", false, "", true, -1, ""},
        TitleCase{"LengthLargestInteger", "Game", false, "", true,
                  std::numeric_limits<std::int32_t>::max(), ""},
        // Large and malformed titles come through byte for byte.
        TitleCase{"Mebibyte", kMebibyte, false, "", false, 0, kMebibyte},
        TitleCase{"EndsInALoneLeadByte", "Game\xb0", false, "", false, 0, "Game\xb0"},
        TitleCase{"OnlyALoneLeadByte", "\xff", false, "", false, 0, "\xff"},
        TitleCase{"TwoByteCharacters", "游戏窗口", false, "", false, 0, "游戏窗口"}),
    [](const ::testing::TestParamInfo<TitleCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace taldoris
