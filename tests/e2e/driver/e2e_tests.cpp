// End-to-end tests of the real tool under Wine: each test starts its own
// taldoris.exe and drives it only as a user or another program could.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "desktop.h"
#include "tool.h"

#ifndef TALDORIS_CONTACT_NUMBER
#error "the build passes the contact number of the tool's source"
#endif
#define E2E_STR2(x) #x
#define E2E_STR(x) E2E_STR2(x)

namespace e2e {
namespace {

constexpr std::uint32_t kBorderless = 0x16020000u;
constexpr std::uint32_t kTargetStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
// The notices close themselves after five seconds; a generous band around it.
constexpr std::uint64_t kNoticeMinMs = 4500;
constexpr std::uint64_t kNoticeMaxMs = 8000;

// Starts a target program of the suite and waits for its window (for the
// hidden mode: for its hidden window).
Target StartTarget(const std::string& mode, const std::string& title, RECT place,
                   const std::string& exe = "e2e_target.exe") {
  return StartProgram(exe, mode, title, place, mode != "hidden");
}

// Starts one of Wine's own programs and puts its window at a known place.
Target StartWineProgram(const std::string& exe, RECT place) {
  Target t;
  t.process = Launch(exe);
  if (t.process.handle == nullptr) return t;
  WaitFor([&] { return (t.window = FindTopLevel(t.process.pid, "")) != nullptr; }, 20000, 10);
  if (t.window != nullptr) {
    SetWindowPos(t.window, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    WaitFor([&] { return WindowRectOf(t.window).left == place.left; }, 5000);
  }
  return t;
}

// The hang target signals this event when a style change has reached it.
bool WaitHangReached(const Process& target) {
  const std::string name = "e2e_hang_reached_" + std::to_string(target.pid);
  HANDLE event = nullptr;
  WaitFor([&] { return (event = OpenEventA(SYNCHRONIZE, FALSE, name.c_str())) != nullptr; }, 5000);
  if (event == nullptr) return false;
  const bool reached = WaitForSingleObject(event, 5000) == WAIT_OBJECT_0;
  CloseHandle(event);
  return reached;
}

class E2E : public ::testing::Test {
 protected:
  void SetUp() override {
    EndLeftovers();
    ASSERT_TRUE(tool.Start()) << tool.error();
  }
  void TearDown() override {
    tool.Stop();
    EndLeftovers();
  }

  // Checks one notice as the user sees it and returns it (box 0 if none).
  Notice ExpectNotice(const char* wantText, const char* wantCaption, Icon wantIcon,
                      std::uint32_t timeoutMs = 5000) {
    Notice n = tool.WaitNotice(timeoutMs);
    EXPECT_NE(n.box, nullptr) << "no notice within " << timeoutMs << " ms";
    if (n.box == nullptr) return n;
    EXPECT_EQ(n.text, wantText);
    EXPECT_EQ(n.caption, wantCaption);
    EXPECT_EQ(IconName(tool.IconOf(n)), std::string(IconName(wantIcon)));
    return n;
  }

  // The notice's owner is MainWindow and the box stands in front of it.
  void ExpectOwnedByMainAndInFront(const Notice& n) {
    EXPECT_EQ(n.owner, tool.main) << "the notice's owner is not MainWindow";
    std::vector<HWND> order = TopLevelWindows();
    auto box = std::find(order.begin(), order.end(), n.box);
    auto main = std::find(order.begin(), order.end(), tool.main);
    EXPECT_TRUE(box < main) << "the notice is not in front of MainWindow";
  }

  // Waits until the notice closes by itself; returns how long it was shown
  // counted from shownAt.
  std::uint64_t WaitClosed(const Notice& n, std::uint64_t shownAt) {
    WaitFor([&] { return !IsWindow(n.box) || !IsWindowVisible(n.box); }, 12000, 20);
    return NowMs() - shownAt;
  }

  Tool tool;
};

// --- the window ----------------------------------------------------------------

TEST_F(E2E, WindowHasItsTitlePlaceFrameAndControls) {
  EXPECT_EQ(WindowText(tool.main), kToolTitle);
  EXPECT_EQ(RectText(WindowRectOf(tool.main)), RectText(RECT{771, 328, 1148, 752}));
  const std::uint32_t style = Style(tool.main);
  EXPECT_EQ(style & WS_CAPTION, static_cast<std::uint32_t>(WS_CAPTION)) << Hex(style);
  EXPECT_NE(style & WS_SYSMENU, 0u) << Hex(style);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0u) << Hex(style);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0u) << Hex(style);
  EXPECT_EQ(GetWindow(tool.main, GW_OWNER), nullptr) << "MainWindow must be unowned";

  struct Caption {
    HWND hwnd;
    const char* text;
  };
  const Caption captions[] = {
      {tool.group2, "手动操作"},
      {tool.label5, "方法1："},
      {tool.edit1, ""},
      {tool.button1, "一键窗口化"},
      {tool.label2, "输入游戏主进程名"},
      {tool.label4, "方法2："},
      {tool.label3, "使用鼠标选中需要设置的游戏窗口按下 [Home] 键"},
      {tool.label1,
       "使用教程\r\n1.先调整好分辨率,再将游戏设置为窗口化模式\r\n2.在指定游戏窗口下按下 "
       "[Home]键 自动窗口化\r\n3.使用按键操作时，无边框成功后,将会自动关闭本程序"},
      {tool.label7, text::kStatus},
      {tool.check1, "置顶本窗口"},
      {tool.link1, "联系作者"},
  };
  for (const Caption& c : captions) {
    EXPECT_EQ(WindowText(c.hwnd), c.text);
  }
  for (HWND label : {tool.label1, tool.label2, tool.label3, tool.label4, tool.label5, tool.label6,
                     tool.label7, tool.label8}) {
    EXPECT_NE(Style(label) & WS_DISABLED, 0u) << "a label takes input: " << WindowText(label);
  }
  // The status bar lies along the bottom of the client area with two panels.
  RECT client;
  GetClientRect(tool.main, &client);
  RECT bar = PlaceInParent(tool.status1);
  EXPECT_EQ(bar.bottom, client.bottom);
  EXPECT_EQ(bar.left, 0);
  EXPECT_EQ(bar.right, client.right);
  DWORD_PTR parts = 0;
  SendMessageTimeoutA(tool.status1, SB_GETPARTS, 0, 0, SMTO_ABORTIFHUNG, 3000, &parts);
  EXPECT_EQ(parts, 2u);
  const char* panels[] = {"  Taldoris", " 本插件完全免费,如果您是付费购买,证明您被骗了"};
  for (int i = 0; i < 2; ++i) {
    DWORD_PTR length = 0;
    SendMessageTimeoutA(tool.status1, SB_GETTEXTLENGTHA, i, 0, SMTO_ABORTIFHUNG, 3000, &length);
    // Counted in bytes of the ANSI text, or in characters as Wine counts.
    const int bytes = static_cast<int>(std::strlen(panels[i]));
    const int chars = MultiByteToWideChar(CP_ACP, 0, panels[i], bytes, nullptr, 0);
    EXPECT_TRUE(LOWORD(length) == bytes || LOWORD(length) == chars)
        << "panel " << i + 1 << ": length " << LOWORD(length) << ", text of " << bytes
        << " bytes and " << chars << " characters";
  }
}

TEST_F(E2E, WindowCanBeNeitherMaximisedNorResized) {
  const RECT before = WindowRectOf(tool.main);
  // A double click on the caption maximises a window that has a maximise box.
  DoubleClick(POINT{(before.left + before.right) / 2, before.top + 10});
  // Dragging the bottom-right corner resizes a window that has a sizing frame.
  Drag(POINT{before.right - 2, before.bottom - 2}, POINT{before.right + 150, before.bottom + 120});
  // Let the tool handle all of it: a round trip through its queue.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(tool.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  const RECT after = WindowRectOf(tool.main);
  EXPECT_FALSE(IsZoomed(tool.main));
  EXPECT_EQ(after.right - after.left, 377) << RectText(after);
  EXPECT_EQ(after.bottom - after.top, 424) << RectText(after);
  EXPECT_TRUE(tool.running());
}

TEST_F(E2E, CheckBoxKeepsTheWindowOnTopAndLetsItGo) {
  DWORD_PTR checked = 0;
  SendMessageTimeoutA(tool.check1, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 3000, &checked);
  EXPECT_EQ(checked, static_cast<DWORD_PTR>(BST_CHECKED));
  EXPECT_NE(ExStyle(tool.main) & WS_EX_TOPMOST, 0u) << "not topmost at start";
  const RECT before = WindowRectOf(tool.main);

  Click(Centre(tool.check1));
  EXPECT_TRUE(WaitFor([&] { return (ExStyle(tool.main) & WS_EX_TOPMOST) == 0; }, 5000))
      << "still topmost after unchecking";
  SendMessageTimeoutA(tool.check1, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 3000, &checked);
  EXPECT_EQ(checked, static_cast<DWORD_PTR>(BST_UNCHECKED));
  EXPECT_EQ(RectText(WindowRectOf(tool.main)), RectText(before)) << "the window moved";

  Click(Centre(tool.check1));
  EXPECT_TRUE(WaitFor([&] { return (ExStyle(tool.main) & WS_EX_TOPMOST) != 0; }, 5000))
      << "not topmost after checking again";
  EXPECT_EQ(RectText(WindowRectOf(tool.main)), RectText(before)) << "the window moved";
}

// Clicks into the edit box and waits until it has the keyboard focus.
bool FocusEditBox(Tool& tool) {
  Click(Centre(tool.edit1));
  return WaitFor(
      [&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(GetWindowThreadProcessId(tool.main, nullptr), &info) &&
               info.hwndFocus == tool.edit1;
      },
      5000);
}

TEST_F(E2E, KeysThatCloseTheToolEndItWithExitCodeZero) {
  struct Case {
    const char* name;
    std::vector<WORD> down;  // pressed in this order, released in reverse
  };
  const Case cases[] = {{"Esc in the edit box", {VK_ESCAPE}},
                        {"Alt+F4", {VK_MENU, VK_F4}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!tool.running()) {
      ASSERT_TRUE(tool.Start()) << tool.error();
    }
    ASSERT_TRUE(FocusEditBox(tool)) << "the edit box did not take the focus";
    for (WORD vk : c.down) KeyDown(vk);
    for (auto it = c.down.rbegin(); it != c.down.rend(); ++it) KeyUp(*it);
    EXPECT_EQ(tool.WaitExit(10000), 0) << "the tool did not end with exit code 0";
    tool.Stop();
  }
}

TEST_F(E2E, EnterInTheEditBoxStartsNothing) {
  ASSERT_TRUE(FocusEditBox(tool));
  PressKey(VK_RETURN);
  // The box is empty: had Enter pressed the button, notice 3 would show.
  EXPECT_FALSE(WaitFor([&] { return !tool.Notices().empty(); }, 1500))
      << "Enter started something";
  EXPECT_TRUE(tool.running());
  // The same empty box with a real click does show it.
  tool.ClickButton();
  ExpectNotice(text::kEmptyName, text::kError, Icon::kError);
}

// --- the name path ----------------------------------------------------------------

TEST_F(E2E, EmptyNameGivesNotice3OwnedByTheWindowThatClosesItself) {
  const RECT notepadPlace{40, 40, 540, 400};
  Target notepad = StartWineProgram("notepad.exe", notepadPlace);
  ASSERT_NE(notepad.window, nullptr);
  const std::uint32_t notepadStyle = Style(notepad.window);

  tool.ClickButton();
  Notice n = ExpectNotice(text::kEmptyName, text::kError, Icon::kError);
  const std::uint64_t shownAt = NowMs();
  ASSERT_NE(n.box, nullptr);
  ExpectOwnedByMainAndInFront(n);
  EXPECT_EQ(tool.Notices().size(), 1u);
  EXPECT_FALSE(IsWindowEnabled(tool.main)) << "MainWindow takes input under its notice";
  EXPECT_EQ(Style(notepad.window), notepadStyle) << "another window changed";

  const std::uint64_t shownMs = WaitClosed(n, shownAt);
  EXPECT_GE(shownMs, kNoticeMinMs);
  EXPECT_LE(shownMs, kNoticeMaxMs);

  // The tool goes on: its window takes input again and the button works.
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(tool.main) != 0; }, 3000));
  EXPECT_TRUE(tool.running());
  tool.ClickButton();
  ExpectNotice(text::kEmptyName, text::kError, Icon::kError);
}

TEST_F(E2E, NameWithoutLowerCaseExeGivesNotice4) {
  Target notepad = StartWineProgram("notepad.exe", RECT{40, 40, 540, 400});
  ASSERT_NE(notepad.window, nullptr);
  const std::uint32_t style = Style(notepad.window);
  for (const char* name : {"NOTEPAD.EXE", "notepad"}) {
    SCOPED_TRACE(name);
    tool.TypeName(name);
    tool.ClickButton();
    Notice n = ExpectNotice(text::kNoExe, text::kError, Icon::kError);
    EXPECT_EQ(Style(notepad.window), style) << "notepad was changed";
    if (n.box != nullptr) {
      PostMessageA(n.box, WM_COMMAND, IDOK, 0);  // the user presses OK
      EXPECT_TRUE(tool.WaitNoNotice(5000));
    }
  }
}

TEST_F(E2E, NotepadByNameBecomesBorderlessTwiceWithNotice6) {
  const RECT place{40, 40, 540, 400};
  Target notepad = StartWineProgram("notepad.exe", place);
  ASSERT_NE(notepad.window, nullptr);
  const RECT before = WindowRectOf(notepad.window);
  ASSERT_NE(Style(notepad.window), kBorderless);
  // The second time the name is typed in mixed case: the lookup folds it.
  const char* names[] = {"notepad.exe", "NotePad.exe"};
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round == 1 ? "first conversion" : "second conversion");
    tool.TypeName(names[round - 1]);
    tool.ClickButton();
    Notice n = ExpectNotice(text::kNameSucceeded, text::kSuccess, Icon::kInformation);
    EXPECT_EQ(Hex(Style(notepad.window)), Hex(kBorderless));
    EXPECT_EQ(RectText(WindowRectOf(notepad.window)), RectText(before)) << "notepad moved";
    if (n.box != nullptr) ExpectOwnedByMainAndInFront(n);
    if (n.box != nullptr) PostMessageA(n.box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(tool.WaitNoNotice(5000));
  }
  // The status label belongs to the cursor path.
  EXPECT_EQ(WindowText(tool.label7), text::kStatus);
}

TEST_F(E2E, NameOfNoRunningProcessGivesNotice5) {
  Target notepad = StartWineProgram("notepad.exe", RECT{40, 40, 540, 400});
  ASSERT_NE(notepad.window, nullptr);
  const std::uint32_t style = Style(notepad.window);
  // Each holds "exe" but names no running process: no trimming, no path,
  // no substring match.
  for (const char* name : {"no-such-game.exe", "notepad.exe ", " notepad.exe", "exe",
                           "C:\\windows\\notepad.exe"}) {
    SCOPED_TRACE(name);
    tool.TypeName(name);
    tool.ClickButton();
    Notice n = ExpectNotice(text::kNoWindowOfProcess, text::kError, Icon::kError);
    EXPECT_EQ(Hex(Style(notepad.window)), Hex(style)) << "notepad was changed";
    if (n.box != nullptr) PostMessageA(n.box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(tool.WaitNoNotice(5000));
  }
}

TEST_F(E2E, ProcessWithOnlyAHiddenWindowGivesNotice5AfterTheBudget) {
  Target hidden = StartTarget("hidden", "E2E hidden", RECT{40, 40, 340, 240});
  ASSERT_NE(hidden.window, nullptr);
  ASSERT_FALSE(IsWindowVisible(hidden.window));
  const std::uint32_t before = Style(hidden.window);
  tool.TypeName("e2e_target.exe");
  const std::uint64_t clicked = NowMs();
  tool.ClickButton();
  ASSERT_NE(tool.WaitNotice(5000).box, nullptr) << "no notice";
  const std::uint64_t elapsed = NowMs() - clicked;
  ExpectNotice(text::kNoWindowOfProcess, text::kError, Icon::kError);
  // The search spends its whole budget of 100 ms first, and not much more.
  EXPECT_GE(elapsed, 100u);
  EXPECT_LE(elapsed, 3000u);
  EXPECT_EQ(Hex(Style(hidden.window)), Hex(before));
}

TEST_F(E2E, OfTwoProcessesWithOneNameOnlyTheFirstListedCounts) {
  Target first = StartTarget("hidden", "E2E twin hidden", RECT{40, 40, 340, 240}, "e2e_twin.exe");
  ASSERT_NE(first.window, nullptr);
  Target second = StartTarget("plain", "E2E twin shown", RECT{60, 300, 360, 500}, "e2e_twin.exe");
  ASSERT_NE(second.window, nullptr);
  DWORD listedFirst = 0;
  for (const auto& entry : ProcessList()) {
    if (entry.first == "e2e_twin.exe") {
      listedFirst = entry.second;
      break;
    }
  }
  ASSERT_NE(listedFirst, 0u);
  const std::uint32_t before = Style(second.window);
  tool.TypeName("E2E_TWIN.exe");  // the lookup folds the case of ASCII letters
  tool.ClickButton();
  if (listedFirst == first.process.pid) {
    // The hidden twin decides: nothing is found, the shown twin stays as it is.
    ExpectNotice(text::kNoWindowOfProcess, text::kError, Icon::kError);
    EXPECT_EQ(Hex(Style(second.window)), Hex(before));
  } else {
    ExpectNotice(text::kNameSucceeded, text::kSuccess, Icon::kInformation);
    EXPECT_EQ(Hex(Style(second.window)), Hex(kBorderless));
  }
}

TEST_F(E2E, WindowsDestroyedDuringTheSearchDoNotDisturbIt) {
  Target notepad = StartWineProgram("notepad.exe", RECT{40, 40, 540, 400});
  ASSERT_NE(notepad.window, nullptr);
  // Visible windows that come and go above notepad while the tool walks.
  Target churn = StartTarget("churn", "E2E churn", RECT{600, 40, 760, 200});
  ASSERT_NE(churn.process.handle, nullptr);
  for (int round = 0; round < 3; ++round) {
    tool.TypeName("notepad.exe");
    tool.ClickButton();
    Notice n = ExpectNotice(text::kNameSucceeded, text::kSuccess, Icon::kInformation);
    EXPECT_EQ(Hex(Style(notepad.window)), Hex(kBorderless));
    if (n.box != nullptr) PostMessageA(n.box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(tool.WaitNoNotice(5000));
    SetWindowLongA(notepad.window, GWL_STYLE, static_cast<LONG>(kTargetStyle));
  }
  EXPECT_TRUE(tool.running());
}

// --- the cursor path ----------------------------------------------------------------

TEST_F(E2E, HomeConvertsTheWindowUnderTheCursor) {
  Target target = StartTarget("plain", "E2E cursor", RECT{60, 60, 460, 360});
  ASSERT_NE(target.window, nullptr);
  const RECT before = WindowRectOf(target.window);
  MoveCursor(Centre(target.window));
  PressKey(VK_HOME);
  EXPECT_TRUE(WaitFor([&] { return Style(target.window) == kBorderless; }, 5000))
      << "style is " << Hex(Style(target.window));
  EXPECT_TRUE(WaitFor([&] { return WindowText(tool.label7) == text::kCursorSucceeded; }, 5000))
      << "标签7 reads " << WindowText(tool.label7);
  EXPECT_EQ(RectText(WindowRectOf(target.window)), RectText(before)) << "the target moved";
  EXPECT_TRUE(tool.Notices().empty()) << "a conversion by cursor shows no notice";
}

TEST_F(E2E, HomeOverAChildWindowConvertsTheChildNotItsTopLevelWindow) {
  Target target = StartTarget("child", "E2E parent", RECT{60, 60, 460, 360});
  ASSERT_NE(target.window, nullptr);
  HWND child = nullptr;
  WaitFor(
      [&] {
        for (HWND w : ChildrenOf(target.window)) {
          if (WindowText(w) == "E2E parent child" && IsWindowVisible(w)) child = w;
        }
        return child != nullptr;
      },
      5000);
  ASSERT_NE(child, nullptr);
  ASSERT_EQ(WindowFromPoint(Centre(child)), child);
  const std::uint32_t parentStyle = Style(target.window);
  MoveCursor(Centre(child));
  PressKey(VK_HOME);
  EXPECT_TRUE(WaitFor([&] { return Style(child) == kBorderless; }, 5000))
      << "child style is " << Hex(Style(child));
  EXPECT_EQ(Hex(Style(target.window)), Hex(parentStyle)) << "the top-level window changed";
}

TEST_F(E2E, HomeHeldDownConvertsOncePerRepeat) {
  Target target = StartTarget("counter", "E2E counter", RECT{60, 60, 460, 360});
  ASSERT_NE(target.window, nullptr);
  MoveCursor(Centre(target.window));
  // A held key: the keyboard repeats the key-down before the one key-up.
  for (int i = 0; i < 3; ++i) {
    KeyDown(VK_HOME);
    // Each repeat lands after the target has put its style back.
    const std::string want = "E2E counter changes=" + std::to_string(i + 1);
    EXPECT_TRUE(WaitFor(
        [&] {
          return WindowText(target.window) == want && Style(target.window) != kBorderless;
        },
        5000))
        << "after repeat " << i + 1 << ": " << WindowText(target.window);
  }
  KeyUp(VK_HOME);
  EXPECT_EQ(WindowText(target.window), "E2E counter changes=3");
}

TEST_F(E2E, RefusedChangeByCursorGivesNotice2) {
  // A target whose thread stops answering once a style change reaches it and
  // then goes away: the change fails.
  Target target = StartTarget("hang", "E2E hang", RECT{60, 60, 460, 360});
  ASSERT_NE(target.window, nullptr);
  MoveCursor(Centre(target.window));
  PressKey(VK_HOME);
  // The tool's change has reached the target, which answers no more.
  ASSERT_TRUE(WaitHangReached(target.process)) << "the tool did not reach the target";
  Kill(target.process);
  Notice n = ExpectNotice(text::kCursorFailed, text::kFailure, Icon::kError);
  if (n.box != nullptr) ExpectOwnedByMainAndInFront(n);
  EXPECT_EQ(WindowText(tool.label7), text::kStatus);
}

TEST_F(E2E, HomeDuringAnOpenNoticeRunsNestedAndBothNoticesCloseThemselves) {
  Target plain = StartTarget("plain", "E2E nested", RECT{60, 60, 460, 360});
  ASSERT_NE(plain.window, nullptr);
  Target hang = StartTarget("hang", "E2E nested hang", RECT{60, 420, 460, 720});
  ASSERT_NE(hang.window, nullptr);

  tool.ClickButton();  // empty name: notice 3
  Notice outer = ExpectNotice(text::kEmptyName, text::kError, Icon::kError);
  const std::uint64_t outerShown = NowMs();
  ASSERT_NE(outer.box, nullptr);

  // A conversion by cursor while notice 3 is open: it succeeds at once.
  MoveCursor(Centre(plain.window));
  PressKey(VK_HOME);
  EXPECT_TRUE(WaitFor([&] { return Style(plain.window) == kBorderless; }, 3000));
  EXPECT_TRUE(WaitFor([&] { return WindowText(tool.label7) == text::kCursorSucceeded; }, 3000));
  EXPECT_TRUE(IsWindowVisible(outer.box)) << "notice 3 closed early";

  // A failing one opens its own notice above the first.
  MoveCursor(Centre(hang.window));
  PressKey(VK_HOME);
  ASSERT_TRUE(WaitHangReached(hang.process)) << "the tool did not reach the target";
  Kill(hang.process);
  Notice inner;
  ASSERT_TRUE(WaitFor(
      [&] {
        std::vector<Notice> all = tool.Notices();
        if (all.size() != 2 || all.front().box == outer.box) return false;
        inner = all.front();
        return true;
      },
      4000))
      << "no second notice above the first";
  const std::uint64_t innerShown = NowMs();
  EXPECT_EQ(inner.text, text::kCursorFailed);
  EXPECT_EQ(inner.caption, text::kFailure);
  EXPECT_EQ(inner.owner, outer.box) << "the second notice is not owned by the first";

  // Both close by themselves, each about five seconds after it showed.
  const std::uint64_t outerMs = WaitClosed(outer, outerShown);
  EXPECT_GE(outerMs, kNoticeMinMs);
  EXPECT_LE(outerMs, kNoticeMaxMs);
  const std::uint64_t innerMs = WaitClosed(inner, innerShown);
  EXPECT_GE(innerMs, kNoticeMinMs);
  EXPECT_LE(innerMs, kNoticeMaxMs);
  EXPECT_TRUE(tool.WaitNoNotice(3000));
  EXPECT_TRUE(tool.running());
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(tool.main) != 0; }, 3000));
}

TEST_F(E2E, TargetThatClearsItsStyleFirstIsStillConverted) {
  // The change finds a style word of 0; the new style is in place all the same.
  Target target = StartTarget("zero", "E2E zero", RECT{60, 60, 460, 360});
  ASSERT_NE(target.window, nullptr);
  MoveCursor(Centre(target.window));
  PressKey(VK_HOME);
  EXPECT_TRUE(WaitFor([&] { return Style(target.window) == kBorderless; }, 5000))
      << Hex(Style(target.window));
  EXPECT_TRUE(WaitFor([&] { return WindowText(tool.label7) == text::kCursorSucceeded; }, 5000))
      << "标签7 reads " << WindowText(tool.label7);
  EXPECT_TRUE(tool.Notices().empty());
}

// --- the cursor probe ----------------------------------------------------------------

TEST_F(E2E, ProbeFollowsTheCursorOnceASecond) {
  // Right after start, before the first tick, both labels are empty.
  const std::uint64_t sinceShown = NowMs() - tool.shownAtMs();
  EXPECT_EQ(WindowText(tool.label6), "") << sinceShown << " ms after the window showed";
  EXPECT_EQ(WindowText(tool.label8), "") << sinceShown << " ms after the window showed";

  Target mine = StartWineProgram("winemine.exe", RECT{80, 500, 380, 800});
  ASSERT_NE(mine.window, nullptr);
  Target own = StartTarget("plain", "E2E probe", RECT{60, 60, 460, 360});
  ASSERT_NE(own.window, nullptr);

  struct Spot {
    const char* name;
    HWND window;
  };
  const Spot spots[] = {{"own target", own.window},
                        {"winemine", mine.window},
                        {"the tool's own button", tool.button1}};
  for (const Spot& spot : spots) {
    SCOPED_TRACE(spot.name);
    POINT p = Centre(spot.window);
    MoveCursor(p);
    HWND under = WindowFromPoint(p);
    ASSERT_EQ(under, spot.window);
    const std::string want6 = "[ " + WindowText(spot.window) + " ]";
    const std::string want8 = "ID：" + Decimal(spot.window);
    EXPECT_TRUE(WaitFor(
        [&] { return WindowText(tool.label6) == want6 && WindowText(tool.label8) == want8; },
        2500))
        << "标签6 " << WindowText(tool.label6) << ", 标签8 " << WindowText(tool.label8)
        << "; wanted " << want6 << ", " << want8;
  }
}

// --- the contact link --------------------------------------------------------------

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

TEST_F(E2E, ContactLinkStartsOneHiddenCommandPerPress) {
  const std::string calls = DriverDir() + "contact-calls.txt";
  DeleteFileA(calls.c_str());
  std::set<HWND> visibleBefore;
  for (HWND w : TopLevelWindows()) {
    if (IsWindowVisible(w)) visibleBefore.insert(w);
  }
  const std::string link = std::string("tencent://Message/?Uin=") + E2E_STR(TALDORIS_CONTACT_NUMBER);
  for (size_t press = 1; press <= 2; ++press) {
    SCOPED_TRACE(press);
    Click(Centre(tool.link1));
    EXPECT_TRUE(WaitFor([&] { return ReadLines(calls).size() >= press; }, 20000))
        << "the protocol handler was not called";
  }
  // No recorder is left running, so no third call lags behind.
  EXPECT_TRUE(WaitFor(
      [&] {
        for (const auto& entry : ProcessList()) {
          if (entry.first == "e2e_recorder.exe") return false;
        }
        return true;
      },
      5000));
  const std::vector<std::string> lines = ReadLines(calls);
  ASSERT_EQ(lines.size(), 2u);
  for (const std::string& line : lines) {
    const size_t at = line.find("tencent://");
    ASSERT_NE(at, std::string::npos) << line;
    std::string argument = line.substr(at);
    while (!argument.empty() && (argument.back() == '"' || argument.back() == ' ')) {
      argument.pop_back();
    }
    EXPECT_EQ(argument, link) << line;
  }
  EXPECT_TRUE(tool.Notices().empty()) << "the tool showed something";
  for (HWND w : TopLevelWindows()) {
    if (IsWindowVisible(w) && visibleBefore.count(w) == 0) {
      ADD_FAILURE() << "a window showed: " << ClassName(w) << " \"" << WindowText(w) << "\"";
    }
  }
  EXPECT_EQ(WindowText(tool.link1), "联系作者");
  EXPECT_TRUE(tool.running());
}

// --- a picture of the window ------------------------------------------------------------

TEST_F(E2E, ScreenshotOfTheMainWindowIsKept) {
  Target own = StartTarget("plain", "E2E 截图", RECT{60, 60, 460, 360});
  ASSERT_NE(own.window, nullptr);
  MoveCursor(Centre(own.window));
  PressKey(VK_HOME);
  ASSERT_TRUE(WaitFor(
      [&] {
        return WindowText(tool.label7) == text::kCursorSucceeded &&
               WindowText(tool.label8) == "ID：" + Decimal(own.window);
      },
      5000));
  // Let the labels repaint with their new captions.
  RedrawWindow(tool.main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(tool.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &ignored);
  // The tutorial label's four lines are drawn in grey on the light face
  // colour, and the status label's caption in green.
  ColourCount tutorial, status;
  EXPECT_TRUE(WaitFor(
      [&] {
        tutorial = CountColours(WindowRectOf(tool.label1));
        status = CountColours(WindowRectOf(tool.label7));
        return tutorial.dark > 100 && status.dark > 20;
      },
      5000))
      << "text pixels: tutorial " << tutorial.dark << " of " << tutorial.total << ", status "
      << status.dark << " of " << status.total;
  const std::string path = ArtefactDir() + "e2e-screenshot.bmp";
  ASSERT_TRUE(SaveScreenBmp(WindowRectOf(tool.main), path)) << path;
}

}  // namespace
}  // namespace e2e
