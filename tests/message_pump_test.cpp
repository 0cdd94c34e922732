// Handling of queued messages: the main window's pre-translation first, then
// TranslateMessage and DispatchMessageA; the pump empties the queue but
// leaves a quit message at its head.
#include <gtest/gtest.h>

#include <vector>

#include "core/message_pump.h"
#include "tests/fake_desktop.h"

namespace taldoris {
namespace {

using fake::FakeDesktop;
using fake::Op;
using fake::WindowSpec;

class EscFilter : public MessageFilter {
 public:
  bool PreTranslate(const Message& msg) override {
    seen.push_back(msg.message);
    return msg.message == WM_KEYDOWN_MESSAGE && msg.wParam == 0x1B;
  }
  std::vector<std::uint32_t> seen;
};

class MessagePumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallMessageFilter(nullptr);
    WindowSpec spec;
    spec.pid = desktop.currentPid;
    window = desktop.AddTopLevel(spec);
    desktop.SetHandler(window, [this](Hwnd, std::uint32_t msg, WParam wParam, LParam) -> LResult {
      handled.push_back(msg);
      if (msg == WM_APP_MESSAGE && wParam == 1) desktop.Post(window, WM_APP_MESSAGE + 1);
      return 0;
    });
  }
  void TearDown() override { InstallMessageFilter(nullptr); }

  FakeDesktop desktop;
  Hwnd window = 0;
  std::vector<std::uint32_t> handled;
};

TEST_F(MessagePumpTest, HandlesEveryWaitingMessageInOrderIncludingOnesPostedMeanwhile) {
  desktop.Post(window, WM_TIMER_MESSAGE);
  desktop.Post(window, WM_APP_MESSAGE, 1);  // its handler posts WM_APP + 1
  desktop.Post(window, WM_HOTKEY_MESSAGE);
  PumpPendingEvents(desktop);
  EXPECT_EQ(handled, (std::vector<std::uint32_t>{WM_TIMER_MESSAGE, WM_APP_MESSAGE,
                                                 WM_HOTKEY_MESSAGE, WM_APP_MESSAGE + 1}));
  EXPECT_TRUE(desktop.Queue().empty());
  EXPECT_EQ(desktop.Calls(Op::TranslateMessage), 4);
  EXPECT_EQ(desktop.Calls(Op::DispatchMessage), 4);
}

TEST_F(MessagePumpTest, EmptyQueueLooksOnceAndReturns) {
  PumpPendingEvents(desktop);
  EXPECT_EQ(desktop.Calls(Op::PeekMessage), 1);
  EXPECT_EQ(desktop.Calls(Op::GetMessage), 0);
}

TEST_F(MessagePumpTest, QuitMessageAtTheHeadStaysQueued) {
  desktop.Post(window, WM_TIMER_MESSAGE);
  desktop.Post(0, WM_QUIT_MESSAGE);
  desktop.Post(window, WM_APP_MESSAGE + 5);
  PumpPendingEvents(desktop);
  EXPECT_EQ(handled, (std::vector<std::uint32_t>{WM_TIMER_MESSAGE}));
  ASSERT_EQ(desktop.Queue().size(), 2u);
  EXPECT_EQ(desktop.Queue().front().message, WM_QUIT_MESSAGE);

  PumpPendingEvents(desktop);  // and again: still left alone
  EXPECT_EQ(desktop.Queue().size(), 2u);
  EXPECT_EQ(desktop.Calls(Op::GetMessage), 1);
}

TEST_F(MessagePumpTest, PreTranslationSeesEachMessageFirstAndMayConsumeIt) {
  EscFilter filter;
  InstallMessageFilter(&filter);
  EXPECT_EQ(InstalledMessageFilter(), &filter);
  desktop.Post(window, WM_KEYDOWN_MESSAGE, 0x1B);  // Esc: taken by the filter
  desktop.Post(window, WM_KEYDOWN_MESSAGE, 0x41);  // 'A': passes on
  PumpPendingEvents(desktop);
  EXPECT_EQ(filter.seen.size(), 2u);
  EXPECT_EQ(handled, (std::vector<std::uint32_t>{WM_KEYDOWN_MESSAGE}));
  EXPECT_EQ(desktop.Calls(Op::TranslateMessage), 1);
  EXPECT_EQ(desktop.Calls(Op::DispatchMessage), 1);
}

TEST_F(MessagePumpTest, HandleMessageWithoutFilterTranslatesThenDispatches) {
  desktop.logCalls = true;
  Message msg;
  msg.hwnd = window;
  msg.message = WM_TIMER_MESSAGE;
  HandleMessage(desktop, msg);
  ASSERT_EQ(desktop.callLog.size(), 2u);
  EXPECT_EQ(desktop.callLog[0].op, Op::TranslateMessage);
  EXPECT_EQ(desktop.callLog[1].op, Op::DispatchMessage);
  EXPECT_EQ(handled, (std::vector<std::uint32_t>{WM_TIMER_MESSAGE}));
}

}  // namespace
}  // namespace taldoris
