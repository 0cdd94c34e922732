// Whatever the user types or pastes into the name box, a click gives exactly
// one of the name path's notices, the one the rules give, and nothing
// breaks: empty and blank texts, 100,000 characters, lone lead bytes,
// "exe" hidden in trail bytes, and Chinese executable names.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "core/borderless.h"
#include "tests/fake_desktop.h"
#include "tests/hostile_desktop.h"

namespace taldoris {
namespace {

using fake::FakeToolWindow;
using fake::Op;
using fake::WindowSpec;
using hostile::HostileDesktop;
using hostile::NoticeNumbers;

struct InputCase {
  const char* label;
  std::string typed;
  bool absent;       // the edit box hands over the absent text
  int notice;        // the one notice expected
  bool walksProcesses;
  Hwnd target;       // window whose style is written, 0 for none
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const InputCase& c, std::ostream* os) { *os << c.label; }


constexpr Hwnd kTool = 0x100;
constexpr Hwnd kGame = 0x200;
constexpr Hwnd kGbkGame = 0x300;
constexpr Hwnd kGbkCaps = 0x400;
constexpr Hwnd kTrailCapital = 0x500;

std::string Repeat(const std::string& unit, std::size_t times) {
  std::string s;
  s.reserve(unit.size() * times);
  for (std::size_t i = 0; i < times; ++i) s += unit;
  return s;
}

class HostileInputTest : public ::testing::TestWithParam<InputCase> {
 protected:
  void SetUp() override {
    desktop.tickPerGetTickCount = 1;
    desktop.AddTopLevel(Window(kTool, desktop.currentPid, "Taldoris"));
    desktop.AddTopLevel(Window(kGame, 0x2000, "Game"));
    desktop.AddTopLevel(Window(kGbkGame, 0x2004, "\xd3\xce\xcf\xb7"));
    desktop.AddTopLevel(Window(kGbkCaps, 0x2008, "Hello"));
    desktop.AddTopLevel(Window(kTrailCapital, 0x200C, "Trail"));
    desktop.AddProcess(desktop.currentPid, "taldoris.exe");
    desktop.AddProcess(0x2000, "game.exe");
    desktop.AddProcess(0x2004, "游戏.exe");
    desktop.AddProcess(0x2008, "你好.EXE");
    // A two-byte character whose trail byte is the code of 'A'.
    desktop.AddProcess(0x200C, "\x81\x41.exe");
    // 300 characters typed: the record holds only the first 259.
    desktop.AddProcess(0x2010, std::string(259, 'l'));
    window.mainHandle = kTool;
  }

  static WindowSpec Window(Hwnd hwnd, ProcessId pid, const char* title) {
    WindowSpec spec;
    spec.hwnd = hwnd;
    spec.pid = pid;
    spec.title = title;
    spec.rect = Rect{0, 0, 640, 480};
    return spec;
  }

  HostileDesktop desktop;
  FakeToolWindow window;
};

TEST_P(HostileInputTest, GivesTheRulesNoticeAndNothingElse) {
  const InputCase& c = GetParam();
  window.editText = c.absent ? Text() : Text(c.typed.data(), c.typed.size());
  const std::int32_t styleBefore = desktop.Style(kGame);

  BorderlessByProcessName(desktop, window);

  EXPECT_EQ(NoticeNumbers(desktop.boxes), std::vector<int>{c.notice});
  ASSERT_EQ(desktop.boxes.size(), 1u);
  EXPECT_EQ(desktop.boxes[0].owner, kTool);
  EXPECT_EQ(desktop.SnapshotsOpened(), c.walksProcesses ? 1 : 0);
  EXPECT_EQ(desktop.SnapshotsOpen(), 0);
  EXPECT_EQ(desktop.Calls(Op::SetWindowLong), c.target != 0 ? 1 : 0);
  if (c.target != 0) {
    EXPECT_EQ(static_cast<std::uint32_t>(desktop.Style(c.target)), kBorderlessStyle);
  } else {
    EXPECT_EQ(desktop.Style(kGame), styleBefore);
  }
  // The name path never writes the status label.
  EXPECT_TRUE(window.captions.empty());
}

const std::string kLongTail = std::string(100000 - 8, 'a');

INSTANTIATE_TEST_SUITE_P(
    EditBox, HostileInputTest,
    ::testing::Values(
        InputCase{"Empty", "", false, 3, false, 0},
        InputCase{"Absent", "", true, 3, false, 0},
        InputCase{"BlanksOnly", "     ", false, 4, false, 0},
        InputCase{"TabAndBlank", "\t ", false, 4, false, 0},
        InputCase{"LeadingBlankIsNotTrimmed", " game.exe", false, 5, true, 0},
        InputCase{"TrailingBlankIsNotTrimmed", "game.exe ", false, 5, true, 0},
        InputCase{"HundredThousandLettersWithoutMarker", std::string(100000, 'a'), false, 4,
                  false, 0},
        InputCase{"HundredThousandLettersEndingInExe", std::string(99996, 'a') + ".exe", false, 5,
                  true, 0},
        InputCase{"HundredThousandBytesStartingWithAProcessName", "game.exe" + kLongTail, false, 5,
                  true, 0},
        InputCase{"FiftyThousandTwoByteCharacters", Repeat("\xd3\xce", 50000), false, 4, false, 0},
        InputCase{"MarkerOnlyInTrailBytesOfManyCharacters", Repeat("\x81""e""xe", 25000), false, 4,
                  false, 0},
        InputCase{"LoneLeadByteAlone", "\xb0", false, 4, false, 0},
        InputCase{"LoneLeadByteAfterAName", "game.exe\xb0", false, 5, true, 0},
        InputCase{"MarkerStartsInATrailByte", "\xb0""exe", false, 4, false, 0},
        InputCase{"MarkerAfterATwoByteCharacter", "\xb0""eexe", false, 5, true, 0},
        InputCase{"MarkerAcrossTwoCharacters", "\x81""exe\x81""exe", false, 4, false, 0},
        InputCase{"CapitalMarker", "GAME.EXE", false, 4, false, 0},
        InputCase{"CapitalNameSmallMarker", "GAME.exe", false, 6, true, kGame},
        InputCase{"GbkName", "游戏.exe", false, 6, true, kGbkGame},
        InputCase{"GbkNameCapitalMarker", "游戏.EXE", false, 4, false, 0},
        InputCase{"GbkNameFoldedOnTheProcessSide", "你好.exe", false, 6, true, kGbkCaps},
        InputCase{"GbkNameDifferentCharacter", "游戲.exe", false, 5, true, 0},
        InputCase{"TrailByteIsNeverFolded", "\x81\x61.exe", false, 5, true, 0},
        InputCase{"TrailByteExact", "\x81\x41.exe", false, 6, true, kTrailCapital},
        InputCase{"MarkerAlone", "exe", false, 5, true, 0},
        InputCase{"NameLongerThanTheRecordHolds", std::string(300, 'l') + "exe", false, 5, true,
                  0}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.label); });

// A process record whose name field is filled to its last byte, with no
// zero byte at all: the name is all 260 bytes, and nothing past the record
// is read.
class UnterminatedRecordDesktop : public HostileDesktop {
 public:
  bool Process32First(Handle snapshot, ProcessEntry* entry) override {
    const bool got = HostileDesktop::Process32First(snapshot, entry);
    if (got) Fill(entry);
    return got;
  }
  bool Process32Next(Handle snapshot, ProcessEntry* entry) override {
    const bool got = HostileDesktop::Process32Next(snapshot, entry);
    if (got) Fill(entry);
    return got;
  }

 private:
  static void Fill(ProcessEntry* entry) {
    std::string name(sizeof entry->szExeFile - 3, 'a');
    name += "exe";
    std::memcpy(entry->szExeFile, name.data(), sizeof entry->szExeFile);
  }
};

TEST(HostileInputRecordTest, NameFieldWithoutZeroByteIsTakenWhole) {
  struct Case {
    std::string typed;
    int notice;
  };
  const std::vector<Case> cases = {
      {std::string(257, 'a') + "exe", 6},   // all 260 bytes
      {std::string(256, 'a') + "exe", 5},   // one byte short
      {std::string(258, 'A') + "exe", 5},   // one byte more
      {std::string(257, 'A') + "exe", 6},   // folded
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.size());
    UnterminatedRecordDesktop desktop;
    FakeToolWindow window;
    desktop.tickPerGetTickCount = 1;
    WindowSpec spec;
    spec.hwnd = kTool;
    spec.pid = desktop.currentPid;
    desktop.AddTopLevel(spec);
    spec.hwnd = kGame;
    spec.pid = 0x2000;
    desktop.AddTopLevel(spec);
    desktop.AddProcess(0x2000, "whatever.exe");
    window.mainHandle = kTool;
    window.editText = Text(c.typed.c_str());
    BorderlessByProcessName(desktop, window);
    EXPECT_EQ(NoticeNumbers(desktop.boxes), std::vector<int>{c.notice});
  }
}

}  // namespace
}  // namespace taldoris
