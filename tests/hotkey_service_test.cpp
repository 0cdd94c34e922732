// The hotkey service: ids, the modifier table, the replaced window procedure
// and the forwarding of hotkey presses to the receiver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fake_desktop.h"
#include "ui/hotkey_service.h"

namespace taldoris {
namespace {

using fake::FakeDesktop;
using fake::Op;
using fake::WindowSpec;

class HotkeyServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHotkeyServiceForTesting();
    WindowSpec spec;
    spec.pid = desktop.currentPid;
    main = desktop.AddTopLevel(spec);
    label1 = desktop.AddChild(main, spec);
    other = desktop.AddChild(main, spec);
    Record(main, "main", 0x5A5A);
    Record(label1, "label1", 7);
    Record(other, "other", 9);
  }
  void TearDown() override { ResetHotkeyServiceForTesting(); }

  // Every message a window's own procedure sees goes to the log as
  // "name:msg:wParam:lParam"; the procedure returns `result`.
  void Record(Hwnd hwnd, const std::string& name, LResult result) {
    desktop.SetHandler(hwnd, [this, name, result](Hwnd, std::uint32_t msg, WParam w, LParam l) {
      log.push_back(name + ":" + std::to_string(msg) + ":" + std::to_string(w) + ":" +
                    std::to_string(l));
      return result;
    });
  }
  LResult Deliver(std::uint32_t msg, WParam w, LParam l) {
    Message m;
    m.hwnd = main;
    m.message = msg;
    m.wParam = w;
    m.lParam = l;
    return desktop.DispatchMessageA(m);
  }

  FakeDesktop desktop;
  Hwnd main = 0;
  Hwnd label1 = 0;
  Hwnd other = 0;
  std::vector<std::string> log;
};

TEST_F(HotkeyServiceTest, HomeWithoutModifiersOnTheMainWindow) {
  desktop.logCalls = true;
  EXPECT_EQ(RegisterGlobalHotkey(desktop, main, label1, 0, kHomeKey), 33001);
  ASSERT_EQ(desktop.hotkeyCalls.size(), 1u);
  EXPECT_EQ(desktop.hotkeyCalls[0].hwnd, main);
  EXPECT_EQ(desktop.hotkeyCalls[0].id, 33001);
  EXPECT_EQ(desktop.hotkeyCalls[0].modifiers, 0u);
  EXPECT_EQ(desktop.hotkeyCalls[0].key, 36u);
  EXPECT_EQ(desktop.ProcOf(main), &HotkeyWindowProc);
  ASSERT_EQ(desktop.callLog.size(), 2u);
  EXPECT_EQ(desktop.callLog[0].op, Op::SetWindowProc) << "procedure replaced before registering";
  EXPECT_EQ(desktop.callLog[1].op, Op::RegisterHotKey);
}

TEST_F(HotkeyServiceTest, IdsAreUsedUpByRefusedCallsToo) {
  desktop.hotkeyAnswers = {true, false, true};
  EXPECT_EQ(RegisterGlobalHotkey(desktop, main, label1, 0, 36), 33001);
  EXPECT_EQ(RegisterGlobalHotkey(desktop, main, label1, 0, 37), 0);
  EXPECT_EQ(RegisterGlobalHotkey(desktop, main, label1, 0, 38), 33003);
  ASSERT_EQ(desktop.hotkeyCalls.size(), 3u);
  EXPECT_EQ(desktop.hotkeyCalls[1].id, 33002);
  EXPECT_EQ(desktop.hotkeyCalls[2].id, 33003);
  EXPECT_EQ(desktop.Calls(Op::SetWindowProc), 1) << "only the first call replaces";
}

TEST_F(HotkeyServiceTest, RefusedRegistrationKeepsTheProcedureAndTheReceiver) {
  desktop.hotkeyAnswers = {false};
  EXPECT_EQ(RegisterGlobalHotkey(desktop, main, label1, 0, 36), 0);
  EXPECT_EQ(desktop.ProcOf(main), &HotkeyWindowProc) << "not undone";
  Deliver(WM_HOTKEY_MESSAGE, 33001, 0);  // the id was handed out, so it is forwarded
  EXPECT_EQ(log.front(), "label1:32885:33001:0");
}

TEST_F(HotkeyServiceTest, ModifierTableIsALookupOfWholeValues) {
  struct Case {
    std::uint32_t code;
    std::uint32_t flags;
  } const cases[] = {
      {0, 0}, {1, 2}, {2, 4}, {3, 6}, {4, 1}, {5, 3}, {6, 5}, {7, 7},
      {8, 8}, {9, 9}, {10, 10}, {12, 12}, {0x4000, 0x4000}, {0xFFFFFFFF, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TranslateModifiers(c.code), c.flags) << c.code;
    RegisterGlobalHotkey(desktop, main, label1, c.code, 36);
    EXPECT_EQ(desktop.hotkeyCalls.back().modifiers, c.flags) << c.code;
  }
}

TEST_F(HotkeyServiceTest, PressIsSentToTheReceiverBeforeThePreviousProcedureRuns) {
  RegisterGlobalHotkey(desktop, main, label1, 0, 36);
  const LResult result = Deliver(WM_HOTKEY_MESSAGE, 33001, 0x00240000);
  EXPECT_EQ(log, (std::vector<std::string>{"label1:32885:33001:0",
                                           "main:786:33001:" + std::to_string(0x00240000)}));
  EXPECT_EQ(result, 0x5A5A) << "the previous procedure's result";
}

TEST_F(HotkeyServiceTest, OnlyIdsHandedOutAreForwarded) {
  desktop.hotkeyAnswers = {true, true};
  RegisterGlobalHotkey(desktop, main, label1, 0, 36);
  RegisterGlobalHotkey(desktop, main, label1, 2, 36);
  for (WParam id : {WParam{33000}, WParam{33003}, WParam{0}, WParam{1}, WParam{0xFFFFFFFF}}) {
    log.clear();
    EXPECT_EQ(Deliver(WM_HOTKEY_MESSAGE, id, 5), 0x5A5A);
    EXPECT_EQ(log, (std::vector<std::string>{"main:786:" + std::to_string(id) + ":5"})) << id;
  }
  for (WParam id : {WParam{33001}, WParam{33002}}) {
    log.clear();
    Deliver(WM_HOTKEY_MESSAGE, id, 5);
    EXPECT_EQ(log.size(), 2u) << id;
    EXPECT_EQ(log.front(), "label1:32885:" + std::to_string(id) + ":0") << id;
  }
}

TEST_F(HotkeyServiceTest, OtherMessagesPassThroughUnchanged) {
  RegisterGlobalHotkey(desktop, main, label1, 0, 36);
  EXPECT_EQ(Deliver(WM_TIMER_MESSAGE, 33001, -3), 0x5A5A);
  EXPECT_EQ(Deliver(kFeedbackMessage, 1, 2), 0x5A5A);
  EXPECT_EQ(log, (std::vector<std::string>{"main:275:33001:-3", "main:32885:1:2"}));
  EXPECT_EQ(desktop.Calls(Op::SendMessage), 0);
}

TEST_F(HotkeyServiceTest, TheLastRegistrationNamesTheReceiverOfEveryHotkey) {
  RegisterGlobalHotkey(desktop, main, label1, 0, 36);
  RegisterGlobalHotkey(desktop, main, other, 0, 35);
  Deliver(WM_HOTKEY_MESSAGE, 33001, 0);
  Deliver(WM_HOTKEY_MESSAGE, 33002, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"other:32885:33001:0", "main:786:33001:0",
                                           "other:32885:33002:0", "main:786:33002:0"}));
}

TEST_F(HotkeyServiceTest, RefusedProcedureReplacementIsTriedAgainNextTime) {
  desktop.refuseProcChange = true;
  EXPECT_EQ(RegisterGlobalHotkey(desktop, main, label1, 0, 36), 33001);
  EXPECT_EQ(desktop.ProcOf(main), &fake::FakeDesktop::ClassProc) << "nothing watched";
  Deliver(WM_HOTKEY_MESSAGE, 33001, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"main:786:33001:0"}));

  desktop.refuseProcChange = false;
  EXPECT_EQ(RegisterGlobalHotkey(desktop, main, label1, 0, 35), 33002);
  EXPECT_EQ(desktop.Calls(Op::SetWindowProc), 2);
  log.clear();
  Deliver(WM_HOTKEY_MESSAGE, 33001, 0);
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(HotkeyServiceTest, ReceiverThatIsGoneGetsNothingAndThePressStillPasses) {
  RegisterGlobalHotkey(desktop, main, label1, 0, 36);
  desktop.Destroy(label1);
  EXPECT_EQ(Deliver(WM_HOTKEY_MESSAGE, 33001, 0), 0x5A5A);
  EXPECT_EQ(log, (std::vector<std::string>{"main:786:33001:0"}));
}

}  // namespace
}  // namespace taldoris
