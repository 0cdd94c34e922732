// The cursor probe: "[ title ]" into 标签6, then "ID：" and the signed handle
// into 标签8, on every tick.
#include <gtest/gtest.h>

#include <string>

#include "core/cursor_probe.h"
#include "tests/fake_desktop.h"

namespace taldoris {
namespace {

using fake::FakeDesktop;
using fake::FakeToolWindow;
using fake::WindowSpec;

TEST(CursorProbe, CaptionsByteForByte) {
  struct Case {
    const char* what;
    Hwnd handle;  // 0: nothing under the cursor
    std::string title;
    std::string label6;
    std::string label8;
  } const cases[] = {
      {"no window", 0, "", "[  ]", "\x49\x44\xA3\xBA" "0"},
      {"empty title", 0x00010010, "", "[  ]", "\x49\x44\xA3\xBA" "65552"},
      {"GBK title", 0x000200A2, "\xBC\xC7\xCA\xC2\xB1\xBE", "[ \xBC\xC7\xCA\xC2\xB1\xBE ]",
       "\x49\x44\xA3\xBA" "131234"},
      {"top bit set", 0x80001234, "Game", "[ Game ]", "\x49\x44\xA3\xBA" "-2147478988"},
      {"all bits set", 0xFFFFFFFE, "x", "[ x ]", "\x49\x44\xA3\xBA" "-2"},
  };
  for (const Case& c : cases) {
    FakeDesktop desktop;
    FakeToolWindow tool;
    if (c.handle != 0) {
      WindowSpec spec;
      spec.hwnd = c.handle;
      spec.title = c.title;
      spec.rect = Rect{0, 0, 100, 100};
      desktop.AddTopLevel(spec);
    }
    desktop.cursor = Point{50, 50};
    CursorProbe(desktop, tool);
    ASSERT_EQ(tool.captions.size(), 2u) << c.what;
    EXPECT_EQ(tool.captions[0].label, 6) << c.what;
    EXPECT_EQ(tool.captions[0].text, c.label6) << c.what;
    EXPECT_EQ(tool.captions[1].label, 8) << c.what;
    EXPECT_EQ(tool.captions[1].text, c.label8) << c.what;
  }
}

TEST(CursorProbe, RewritesBothLabelsOnEveryTickAndFollowsTheCursor) {
  FakeDesktop desktop;
  FakeToolWindow tool;
  WindowSpec spec;
  spec.title = "Frame";
  spec.rect = Rect{0, 0, 400, 400};
  const Hwnd frame = desktop.AddTopLevel(spec);
  spec.title = "OK";
  spec.rect = Rect{10, 10, 90, 40};
  const Hwnd button = desktop.AddChild(frame, spec);
  desktop.cursor = Point{20, 20};
  CursorProbe(desktop, tool);
  CursorProbe(desktop, tool);  // nothing moved: written again all the same
  desktop.cursor = Point{200, 200};
  CursorProbe(desktop, tool);
  ASSERT_EQ(tool.captions.size(), 6u);
  const std::string id = "\x49\x44\xA3\xBA";
  const std::string expected[] = {"[ OK ]",    id + std::to_string(button), "[ OK ]",
                                  id + std::to_string(button), "[ Frame ]",
                                  id + std::to_string(frame)};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(tool.captions[i].label, i % 2 == 0 ? 6 : 8) << i;
    EXPECT_EQ(tool.captions[i].text, expected[i]) << i;
  }
}

}  // namespace
}  // namespace taldoris
