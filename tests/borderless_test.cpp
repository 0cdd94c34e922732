// The borderless conversion: the style change, its two triggers with every
// outcome (status text or one of the seven notices), and their nesting.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "core/borderless.h"
#include "core/message_pump.h"
#include "tests/fake_desktop.h"
#include "ui/hotkey_service.h"

namespace taldoris {
namespace {

using fake::BoxRecord;
using fake::FakeDesktop;
using fake::FakeToolWindow;
using fake::Op;
using fake::WindowSpec;

// The notices, spelled out in GBK bytes so that a wrong character set or a
// wrong text cannot pass.
struct Notice {
  const char* text;
  const char* caption;
  std::uint32_t type;
};
const char kError[] = "\xB4\xED\xCE\xF3";    // 错误
const char kFailure[] = "\xCA\xA7\xB0\xDC";  // 失败
const char kSuccess[] = "\xB3\xC9\xB9\xA6";  // 成功
const Notice kNotices[8] = {
    {"", "", 0},
    // 1 游戏进程ID获取失败
    {"\xD3\xCE\xCF\xB7\xBD\xF8\xB3\xCC" "ID" "\xBB\xF1\xC8\xA1\xCA\xA7\xB0\xDC", kError, 16},
    // 2 无边框化设置失败
    {"\xCE\xDE\xB1\xDF\xBF\xF2\xBB\xAF\xC9\xE8\xD6\xC3\xCA\xA7\xB0\xDC", kFailure, 16},
    // 3 请填写游戏主进程的名称
    {"\xC7\xEB\xCC\xEE\xD0\xB4\xD3\xCE\xCF\xB7\xD6\xF7\xBD\xF8\xB3\xCC\xB5\xC4\xC3\xFB\xB3\xC6",
     kError, 16},
    // 4 游戏主进程名称错误，所以可执行程序，均带有 [.exe] 后缀，请检查是否填写错误！
    {"\xD3\xCE\xCF\xB7\xD6\xF7\xBD\xF8\xB3\xCC\xC3\xFB\xB3\xC6\xB4\xED\xCE\xF3\xA3\xAC\xCB\xF9"
     "\xD2\xD4\xBF\xC9\xD6\xB4\xD0\xD0\xB3\xCC\xD0\xF2\xA3\xAC\xBE\xF9\xB4\xF8\xD3\xD0 [.exe] "
     "\xBA\xF3\xD7\xBA\xA3\xAC\xC7\xEB\xBC\xEC\xB2\xE9\xCA\xC7\xB7\xF1\xCC\xEE\xD0\xB4\xB4\xED"
     "\xCE\xF3\xA3\xA1",
     kError, 16},
    // 5 游戏ID获取失败
    {"\xD3\xCE\xCF\xB7" "ID" "\xBB\xF1\xC8\xA1\xCA\xA7\xB0\xDC", kError, 16},
    // 6 无边框化设置成功
    {"\xCE\xDE\xB1\xDF\xBF\xF2\xBB\xAF\xC9\xE8\xD6\xC3\xB3\xC9\xB9\xA6", kSuccess, 64},
    // 7 无边框化设置失败
    {"\xCE\xDE\xB1\xDF\xBF\xF2\xBB\xAF\xC9\xE8\xD6\xC3\xCA\xA7\xB0\xDC", kFailure, 16},
};
const char kCursorSuccess[] = "\xCE\xDE\xB1\xDF\xBF\xF2\xC9\xE8\xD6\xC3\xB3\xC9\xB9\xA6";  // 无边框设置成功
const char kStatusAtStart[] = "\xD7\xB4\xCC\xAC";  // 状态

// A box as "text|caption|type", to compare with the notices by number.
std::string Describe(const std::string& text, const std::string& caption, std::uint32_t type) {
  return text + "|" + caption + "|" + std::to_string(type);
}
std::vector<std::string> Expected(std::initializer_list<int> numbers) {
  std::vector<std::string> described;
  for (int n : numbers) described.push_back(Describe(kNotices[n].text, kNotices[n].caption, kNotices[n].type));
  return described;
}

constexpr std::int32_t kFramedStyle = 0x14CF0000;
constexpr std::int32_t kBorderless = 0x16020000;

class BorderlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallMessageFilter(nullptr);
    ResetHotkeyServiceForTesting();
    WindowSpec spec;
    spec.pid = desktop.currentPid;
    spec.rect = Rect{0, 0, 377, 424};
    spec.title = "Taldoris";
    main = desktop.AddTopLevel(spec);
    spec.rect = Rect{13, 248, 360, 322};
    label1 = desktop.AddChild(main, spec);
    tool.mainHandle = main;
    tool.label1Handle = label1;

    spec.pid = kGamePid;
    spec.rect = Rect{400, 0, 1200, 600};
    spec.title = "Game";
    spec.style = kFramedStyle;
    game = desktop.AddTopLevel(spec);
    spec.rect = Rect{410, 30, 1190, 590};
    gameView = desktop.AddChild(game, spec);
    desktop.AddProcess(4, "System");
    desktop.AddProcess(kGamePid, "Game.exe");
  }
  void TearDown() override { ResetHotkeyServiceForTesting(); }

  std::vector<std::string> Notices() const {
    std::vector<std::string> shown;
    for (const BoxRecord& box : desktop.boxes) shown.push_back(Describe(box.text, box.caption, box.type));
    return shown;
  }

  // The hotkey as the tool wires it: Home on MainWindow, 标签1 raising the
  // cursor conversion.
  void WireHotkey() {
    desktop.SetHandler(label1, [this](Hwnd, std::uint32_t msg, WParam w, LParam l) -> LResult {
      if (msg == kFeedbackMessage) BorderlessByCursor(desktop, tool, static_cast<std::intptr_t>(w), l);
      return 0;
    });
    ASSERT_EQ(RegisterGlobalHotkey(desktop, main, label1, 0, kHomeKey), kFirstHotkeyId);
  }

  static constexpr ProcessId kGamePid = 77;
  FakeDesktop desktop;
  FakeToolWindow tool;
  Hwnd main = 0;
  Hwnd label1 = 0;
  Hwnd game = 0;
  Hwnd gameView = 0;
};

// --- ApplyBorderless -------------------------------------------------------------

TEST_F(BorderlessTest, ApplyBorderlessWritesTheWholeStyleWordOnly) {
  struct Case {
    const char* what;
    std::int32_t before;
    bool refuse;
    std::int32_t previous;
    bool applied;
    std::int32_t after;
  } const cases[] = {
      {"framed window", kFramedStyle, false, kFramedStyle, true, kBorderless},
      {"child, maximised, disabled bits all cleared", static_cast<std::int32_t>(0x59CF0000u), false,
       static_cast<std::int32_t>(0x59CF0000u), true, kBorderless},
      {"previous style exactly 0 is still a success", 0, false, 0, true, kBorderless},
      {"refused", kFramedStyle, true, 0, false, kFramedStyle},
  };
  for (const Case& c : cases) {
    WindowSpec spec;
    spec.style = c.before;
    spec.rect = Rect{1, 2, 3, 4};
    const Hwnd w = desktop.AddTopLevel(spec);
    desktop.RefuseStyleChange(w, c.refuse);
    const StyleChange change = ApplyBorderless(desktop, w);
    EXPECT_EQ(change.previous, c.previous) << c.what;
    EXPECT_EQ(change.applied, c.applied) << c.what;
    EXPECT_EQ(desktop.Style(w), c.after) << c.what;
    const Rect r = desktop.RectOf(w);
    EXPECT_TRUE(r.left == 1 && r.top == 2 && r.right == 3 && r.bottom == 4) << c.what;
  }
  EXPECT_FALSE(ApplyBorderless(desktop, 0xDEAD0).applied) << "no such window";
}

TEST_F(BorderlessTest, ConvertingTwiceSucceedsBothTimes) {
  EXPECT_TRUE(ApplyBorderless(desktop, game).applied);
  const StyleChange second = ApplyBorderless(desktop, game);
  EXPECT_TRUE(second.applied);
  EXPECT_EQ(second.previous, kBorderless);
}

// --- the cursor path -------------------------------------------------------------

TEST_F(BorderlessTest, CursorPathOutcomes) {
  struct Case {
    const char* what;
    Point cursor;
    int target;  // 0 none, 1 the game's child window, 2 the tool's label
    bool refuse;
    std::int32_t styleBefore;
    bool success;
    int notice;
  } const cases[] = {
      {"child window of the game", Point{500, 100}, 1, false, kFramedStyle, true, 0},
      {"the tool's own control", Point{20, 260}, 2, false, kFramedStyle, true, 0},
      {"no window under the cursor", Point{5000, 5000}, 0, false, kFramedStyle, false, 1},
      {"refused style change", Point{500, 100}, 1, true, kFramedStyle, false, 2},
      {"previous style 0", Point{500, 100}, 1, false, 0, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Hwnd target = c.target == 1 ? gameView : c.target == 2 ? label1 : 0;
    if (target != 0) {
      desktop.RefuseStyleChange(target, false);
      bool ignored;
      desktop.SetWindowLongA(target, GWL_STYLE_INDEX, c.styleBefore, &ignored);
      desktop.RefuseStyleChange(target, c.refuse);
    }
    desktop.boxes.clear();
    tool = FakeToolWindow();
    desktop.ResetCalls();
    desktop.cursor = c.cursor;

    BorderlessByCursor(desktop, tool, 33001, 0);

    if (c.success) {
      EXPECT_EQ(tool.caption7, kCursorSuccess);
      EXPECT_TRUE(desktop.boxes.empty());
    } else {
      EXPECT_EQ(tool.caption7, kStatusAtStart);
      EXPECT_EQ(Notices(), Expected({c.notice}));
    }
    EXPECT_EQ(desktop.Calls(Op::SetWindowLong), target != 0 ? 1 : 0);
    if (target != 0) {
      EXPECT_EQ(desktop.Style(target), c.refuse ? c.styleBefore : kBorderless);
    }
    EXPECT_EQ(desktop.Style(game), kFramedStyle) << "never climbs to the top-level window";
    EXPECT_TRUE(tool.captions.size() == (c.success ? 1u : 0u));
  }
}

// --- the name path ---------------------------------------------------------------

TEST_F(BorderlessTest, NamePathOutcomes) {
  WindowSpec spec;
  spec.rect = Rect{0, 0, 10, 10};
  spec.style = kFramedStyle;
  const struct {
    ProcessId pid;
    const char* name;
    bool visible;
    bool refuse;
    std::int32_t style;
  } processes[] = {
      {81, "hidden.exe", false, false, kFramedStyle},
      {82, "refusing.exe", true, true, kFramedStyle},
      {83, "zero.exe", true, false, 0},
      {84, "exe", true, false, kFramedStyle},
      {85, "myexegame", true, false, kFramedStyle},
  };
  std::vector<Hwnd> windows;
  for (const auto& p : processes) {
    desktop.AddProcess(p.pid, p.name);
    spec.pid = p.pid;
    spec.visible = p.visible;
    spec.style = p.style;
    windows.push_back(desktop.AddTopLevel(spec));
    desktop.RefuseStyleChange(windows.back(), p.refuse);
  }

  struct Case {
    const char* typed;  // null: nothing typed
    int notice;
    Hwnd converted;     // 0: nothing converted
    bool walksProcesses;
    bool searchesWindows;
  } const cases[] = {
      {nullptr, 3, 0, false, false},
      {"", 3, 0, false, false},
      {"GAME.EXE", 4, 0, false, false},   // the marker test is case-sensitive
      {"Game", 4, 0, false, false},
      {"nosuch.exe", 5, 0, true, false},  // no process: at once, no window search
      {"hidden.exe", 5, 0, true, true},
      {"game.exe", 6, game, true, true},
      {"gAME.exe", 6, game, true, true},  // the lookup folds case
      {"refusing.exe", 7, 0, true, true},
      {"zero.exe", 6, windows[2], true, true},
      {"exe", 6, windows[3], true, true},
      {"myexegame", 6, windows[4], true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed ? c.typed : "<absent>");
    desktop.boxes.clear();
    desktop.ResetCalls();
    tool = FakeToolWindow();
    tool.editText = c.typed != nullptr ? Text(c.typed) : Text();
    desktop.tickPerPeek = 1;
    const std::uint32_t start = desktop.tick;
    std::uint32_t shownAt = 0;
    desktop.whileBoxOpen = [&](const BoxRecord&) { shownAt = desktop.tick; };
    const std::int32_t gameStyle = desktop.Style(game);

    BorderlessByProcessName(desktop, tool);

    EXPECT_EQ(Notices(), Expected({c.notice}));
    EXPECT_EQ(tool.editReads, 1);
    EXPECT_TRUE(tool.captions.empty()) << "the name path leaves the labels alone";
    EXPECT_EQ(desktop.Calls(Op::CreateSnapshot), c.walksProcesses ? 1 : 0);
    // The notice's owner (MainWindow, at the top) costs one FindWindowExA.
    EXPECT_EQ(desktop.Calls(Op::FindWindowEx) > 1, c.searchesWindows);
    EXPECT_EQ(desktop.Calls(Op::SetWindowLong), c.notice >= 6 ? 1 : 0);
    if (c.converted != 0) {
      EXPECT_EQ(desktop.Style(c.converted), kBorderless);
      bool ignored;
      desktop.SetWindowLongA(c.converted, GWL_STYLE_INDEX, kFramedStyle, &ignored);
    } else {
      EXPECT_EQ(desktop.Style(game), gameStyle);
    }
    if (c.typed != nullptr && std::string(c.typed) == "hidden.exe") {
      EXPECT_GE(shownAt - start, 100u) << "the whole budget is spent";
      EXPECT_LT(shownAt - start, 200u);
    }
    EXPECT_EQ(desktop.boxes[0].owner, main);
  }
}

TEST_F(BorderlessTest, FirstProcessOfTheNameDecidesEvenIfALaterOneHasAWindow) {
  desktop.AddProcess(90, "twin.exe");  // listed first, no window
  desktop.AddProcess(91, "twin.exe");
  WindowSpec spec;
  spec.pid = 91;
  desktop.AddTopLevel(spec);
  tool.editText = Text("twin.exe");
  desktop.tickPerPeek = 1;
  BorderlessByProcessName(desktop, tool);
  EXPECT_EQ(Notices(), Expected({5}));
}

// --- nesting -----------------------------------------------------------------------

TEST_F(BorderlessTest, HotkeyDuringANameSearchConvertsByCursorInsideIt) {
  WireHotkey();
  desktop.AddProcess(81, "hidden.exe");
  WindowSpec spec;
  spec.pid = 81;
  spec.visible = false;
  desktop.AddTopLevel(spec);
  tool.editText = Text("hidden.exe");
  desktop.cursor = Point{500, 100};
  desktop.tickPerPeek = 1;
  std::size_t boxesAtConversion = 99;
  bool posted = false;
  desktop.onCall = [&](Op op, Hwnd) {
    if (op == Op::PeekMessage && !posted) {
      posted = true;
      desktop.Post(main, WM_HOTKEY_MESSAGE, 33001, 0x00240000);
    }
    if (op == Op::SetWindowLong) boxesAtConversion = desktop.boxes.size();
  };

  BorderlessByProcessName(desktop, tool);

  EXPECT_EQ(desktop.Style(gameView), kBorderless) << "converted inside the search";
  EXPECT_EQ(tool.caption7, kCursorSuccess);
  EXPECT_EQ(boxesAtConversion, 0u);
  EXPECT_EQ(Notices(), Expected({5})) << "the search then ends as it would have";
}

TEST_F(BorderlessTest, HotkeyWhileANoticeIsOpenShowsANestedNotice) {
  WireHotkey();
  tool.editText = Text("nosuch.exe");
  desktop.cursor = Point{5000, 5000};  // nothing there: notice 1
  desktop.whileBoxOpen = [&](const BoxRecord& box) {
    if (box.depth == 1) desktop.Post(main, WM_HOTKEY_MESSAGE, 33001, 0);
  };
  BorderlessByProcessName(desktop, tool);
  EXPECT_EQ(Notices(), Expected({5, 1}));
  ASSERT_EQ(desktop.boxes.size(), 2u);
  EXPECT_EQ(desktop.boxes[1].depth, 2);
  EXPECT_EQ(desktop.boxes[1].owner, desktop.boxes[0].boxWindow);
  EXPECT_EQ(desktop.OpenBoxes(), 0);
}

TEST_F(BorderlessTest, HotkeyHeldDownWhileItsOwnNoticeIsOpenNestsAgain) {
  WireHotkey();
  desktop.cursor = Point{5000, 5000};
  desktop.whileBoxOpen = [&](const BoxRecord& box) {
    if (box.depth < 3) desktop.Post(main, WM_HOTKEY_MESSAGE, 33001, 0);  // auto-repeat
  };
  desktop.Post(main, WM_HOTKEY_MESSAGE, 33001, 0);
  PumpPendingEvents(desktop);
  EXPECT_EQ(Notices(), Expected({1, 1, 1}));
  EXPECT_EQ(desktop.boxes[2].depth, 3);
}

TEST_F(BorderlessTest, SecondClickDuringASearchRunsASecondSearchInsideTheFirst) {
  desktop.AddProcess(81, "hidden.exe");
  WindowSpec spec;
  spec.pid = 81;
  spec.visible = false;
  desktop.AddTopLevel(spec);
  constexpr std::uint32_t kClick = WM_APP_MESSAGE + 1;
  int clicks = 0;
  desktop.SetHandler(main, [&](Hwnd, std::uint32_t msg, WParam, LParam) -> LResult {
    if (msg == kClick) {
      ++clicks;
      BorderlessByProcessName(desktop, tool);
    }
    return 0;
  });
  tool.editText = Text("hidden.exe");
  desktop.tickPerPeek = 1;
  std::vector<std::uint32_t> shownAt;
  desktop.whileBoxOpen = [&](const BoxRecord&) { shownAt.push_back(desktop.tick); };
  bool posted = false;
  desktop.onCall = [&](Op op, Hwnd) {
    if (op == Op::PeekMessage && clicks == 1 && !posted) {
      posted = true;
      desktop.Post(main, kClick);  // clicked again while the first search runs
    }
  };
  const std::uint32_t start = desktop.tick;
  desktop.Post(main, kClick);
  PumpPendingEvents(desktop);

  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(Notices(), Expected({5, 5}));
  ASSERT_EQ(shownAt.size(), 2u);
  // The inner search spends its own whole budget and shows its notice first;
  // the outer one, whose budget has passed meanwhile, ends at its next step.
  EXPECT_GE(shownAt[0] - start, 100u);
  EXPECT_LE(shownAt[1] - shownAt[0], 2u);
  EXPECT_EQ(desktop.boxes[0].depth, 1);
  EXPECT_EQ(desktop.boxes[1].depth, 1);
}

}  // namespace
}  // namespace taldoris
