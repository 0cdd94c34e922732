// The conversion by name, driven with fuzzed edit text against a small
// desktop. The notice shown must be the one a plain reading of the rules
// gives: empty text -> 3; no "exe" starting on a character boundary -> 4;
// otherwise the first process whose name equals the text with ASCII letters
// folded decides: none, or no visible window -> 5; style change refused -> 7;
// applied -> 6.
//
// Input: the edit text, then optionally NUL and a NUL-separated process list
// (at most 12 names). Process i shows, by i % 5: a hidden and then a visible
// window that accepts the change; a visible window that refuses it; only a
// hidden window; no window at all; a visible window whose previous style word
// is 0.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/borderless.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/mini_desktop.h"
#include "fuzz/reference.h"

namespace {

using taldoris::Hwnd;
using taldoris_fuzz::MiniDesktop;
using taldoris_fuzz::MiniToolWindow;
using taldoris_fuzz::MiniWindow;

struct NoticeRow {
  const char* text;
  const char* caption;
  std::uint32_t type;
};

// The notice table, in the byte form this build gives the program's literals:
// GBK under g++ (-fexec-charset=GBK); clang keeps UTF-8.
#if defined(TALDORIS_FUZZ_UTF8_LITERALS)
#define CAP_ERROR "\xe9\x94\x99\xe8\xaf\xaf"
#define CAP_FAILED "\xe5\xa4\xb1\xe8\xb4\xa5"
#define CAP_DONE "\xe6\x88\x90\xe5\x8a\x9f"
const NoticeRow kNotices[8] = {
    {"", "", 0},
    {"\xe6\xb8\xb8\xe6\x88\x8f\xe8\xbf\x9b\xe7\xa8\x8b" "ID" "\xe8\x8e\xb7\xe5\x8f\x96\xe5\xa4\xb1\xe8\xb4\xa5",
     CAP_ERROR, 16},
    {"\xe6\x97\xa0\xe8\xbe\xb9\xe6\xa1\x86\xe5\x8c\x96\xe8\xae\xbe\xe7\xbd\xae\xe5\xa4\xb1\xe8\xb4\xa5",
     CAP_FAILED, 16},
    {"\xe8\xaf\xb7\xe5\xa1\xab\xe5\x86\x99\xe6\xb8\xb8\xe6\x88\x8f\xe4\xb8\xbb\xe8\xbf\x9b\xe7\xa8\x8b"
     "\xe7\x9a\x84\xe5\x90\x8d\xe7\xa7\xb0",
     CAP_ERROR, 16},
    {"\xe6\xb8\xb8\xe6\x88\x8f\xe4\xb8\xbb\xe8\xbf\x9b\xe7\xa8\x8b\xe5\x90\x8d\xe7\xa7\xb0\xe9\x94\x99"
     "\xe8\xaf\xaf\xef\xbc\x8c\xe6\x89\x80\xe4\xbb\xa5\xe5\x8f\xaf\xe6\x89\xa7\xe8\xa1\x8c\xe7\xa8\x8b"
     "\xe5\xba\x8f\xef\xbc\x8c\xe5\x9d\x87\xe5\xb8\xa6\xe6\x9c\x89 [.exe] \xe5\x90\x8e\xe7\xbc\x80\xef"
     "\xbc\x8c\xe8\xaf\xb7\xe6\xa3\x80\xe6\x9f\xa5\xe6\x98\xaf\xe5\x90\xa6\xe5\xa1\xab\xe5\x86\x99\xe9"
     "\x94\x99\xe8\xaf\xaf\xef\xbc\x81",
     CAP_ERROR, 16},
    {"\xe6\xb8\xb8\xe6\x88\x8f" "ID" "\xe8\x8e\xb7\xe5\x8f\x96\xe5\xa4\xb1\xe8\xb4\xa5", CAP_ERROR, 16},
    {"\xe6\x97\xa0\xe8\xbe\xb9\xe6\xa1\x86\xe5\x8c\x96\xe8\xae\xbe\xe7\xbd\xae\xe6\x88\x90\xe5\x8a\x9f",
     CAP_DONE, 64},
    {"\xe6\x97\xa0\xe8\xbe\xb9\xe6\xa1\x86\xe5\x8c\x96\xe8\xae\xbe\xe7\xbd\xae\xe5\xa4\xb1\xe8\xb4\xa5",
     CAP_FAILED, 16},
};
#else
#define CAP_ERROR "\xb4\xed\xce\xf3"
#define CAP_FAILED "\xca\xa7\xb0\xdc"
#define CAP_DONE "\xb3\xc9\xb9\xa6"
const NoticeRow kNotices[8] = {
    {"", "", 0},
    {"\xd3\xce\xcf\xb7\xbd\xf8\xb3\xcc" "ID" "\xbb\xf1\xc8\xa1\xca\xa7\xb0\xdc", CAP_ERROR, 16},
    {"\xce\xde\xb1\xdf\xbf\xf2\xbb\xaf\xc9\xe8\xd6\xc3\xca\xa7\xb0\xdc", CAP_FAILED, 16},
    {"\xc7\xeb\xcc\xee\xd0\xb4\xd3\xce\xcf\xb7\xd6\xf7\xbd\xf8\xb3\xcc\xb5\xc4\xc3\xfb\xb3\xc6",
     CAP_ERROR, 16},
    {"\xd3\xce\xcf\xb7\xd6\xf7\xbd\xf8\xb3\xcc\xc3\xfb\xb3\xc6\xb4\xed\xce\xf3\xa3\xac\xcb\xf9\xd2\xd4"
     "\xbf\xc9\xd6\xb4\xd0\xd0\xb3\xcc\xd0\xf2\xa3\xac\xbe\xf9\xb4\xf8\xd3\xd0 [.exe] \xba\xf3\xd7\xba"
     "\xa3\xac\xc7\xeb\xbc\xec\xb2\xe9\xca\xc7\xb7\xf1\xcc\xee\xd0\xb4\xb4\xed\xce\xf3\xa3\xa1",
     CAP_ERROR, 16},
    {"\xd3\xce\xcf\xb7" "ID" "\xbb\xf1\xc8\xa1\xca\xa7\xb0\xdc", CAP_ERROR, 16},
    {"\xce\xde\xb1\xdf\xbf\xf2\xbb\xaf\xc9\xe8\xd6\xc3\xb3\xc9\xb9\xa6", CAP_DONE, 64},
    {"\xce\xde\xb1\xdf\xbf\xf2\xbb\xaf\xc9\xe8\xd6\xc3\xca\xa7\xb0\xdc", CAP_FAILED, 16},
};
#endif

// Which notice (1 to 7) a recorded box is; 0 for none of them. Notices 2 and
// 7 have the same words; on the name path it is 7.
int NoticeNumber(const taldoris_fuzz::MiniNotice& n) {
  for (int k = 7; k >= 1; --k) {
    if (n.text == kNotices[k].text && n.caption == kNotices[k].caption && n.type == kNotices[k].type)
      return k;
  }
  return 0;
}

enum class Kind { kAccepts, kRefuses, kHiddenOnly, kNoWindow, kZeroStyle };

Kind KindOf(std::size_t index) { return static_cast<Kind>(index % 5); }

Hwnd VisibleWindowOf(std::size_t index) { return static_cast<Hwnd>(0x20000 + 16 * index); }

void Populate(MiniDesktop& desk, const std::vector<std::string>& names) {
  desk.processNames = names;
  desk.windows.push_back({MiniToolWindow::kMain, MiniDesktop::kOwnPid, true, false, 0x16CA0000});
  for (std::size_t i = 0; i < names.size(); ++i) {
    const taldoris::ProcessId pid = MiniDesktop::PidOf(i);
    const Hwnd visible = VisibleWindowOf(i);
    const Hwnd hidden = visible + 4;
    switch (KindOf(i)) {
      case Kind::kAccepts:
        desk.windows.push_back({hidden, pid, false, false, 0x04CF0000});
        desk.windows.push_back({visible, pid, true, false, 0x14CF0000});
        break;
      case Kind::kRefuses:
        desk.windows.push_back({visible, pid, true, true, 0x14CF0000});
        break;
      case Kind::kHiddenOnly:
        desk.windows.push_back({hidden, pid, false, false, 0x04CF0000});
        break;
      case Kind::kNoWindow:
        break;
      case Kind::kZeroStyle:
        desk.windows.push_back({visible, pid, true, false, 0});
        break;
    }
  }
}

struct Expectation {
  int notice = 0;
  Hwnd target = 0;  // window whose style is written, 0 for none
  bool walksProcesses = false;
};

Expectation Decide(const std::string& text, const std::vector<std::string>& names) {
  Expectation e;
  if (text.empty()) {
    e.notice = 3;
    return e;
  }
  if (taldoris_fuzz::RefFind(text, "exe") < 0) {
    e.notice = 4;
    return e;
  }
  e.walksProcesses = true;
  const std::string wanted = taldoris_fuzz::RefLower(text);
  for (std::size_t i = 0; i < names.size(); ++i) {
    // The record's name field holds at most 259 bytes before its NUL.
    if (taldoris_fuzz::RefLower(names[i].substr(0, 259)) != wanted) continue;
    switch (KindOf(i)) {
      case Kind::kAccepts:
      case Kind::kZeroStyle:
        e.notice = 6;
        e.target = VisibleWindowOf(i);
        return e;
      case Kind::kRefuses:
        e.notice = 7;
        e.target = VisibleWindowOf(i);
        return e;
      case Kind::kHiddenOnly:
      case Kind::kNoWindow:
        e.notice = 5;
        return e;
    }
  }
  e.notice = 5;  // no process has the name
  return e;
}

const std::vector<std::string>& DefaultProcesses() {
  static const std::vector<std::string> names = {
      "game.exe", "locked.exe", "hidden.exe", "service.exe", "zero.exe",
      "\xd3\xce\xcf\xb7.exe",  // a GBK name (two characters, then ".exe")
      "Notepad.EXE",
      "\xc4\xe3\xba\xc3.EXE",  // a GBK name in capitals
      "exe",
  };
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts = taldoris_fuzz::SplitAtNul(data, size);
  const std::string text = parts[0];
  std::vector<std::string> names;
  if (parts.size() == 1) {
    names = DefaultProcesses();
  } else {
    for (std::size_t i = 1; i < parts.size() && names.size() < 12; ++i) names.push_back(parts[i]);
  }

  MiniDesktop desk;
  Populate(desk, names);
  MiniToolWindow window;
  window.editText = text;

  taldoris::BorderlessByProcessName(desk, window);

  const Expectation e = Decide(text, names);
  FUZZ_CHECK(desk.notices.size() == 1);
  FUZZ_CHECK(NoticeNumber(desk.notices[0]) == e.notice);
  // The tool's own visible window owns the notice.
  FUZZ_CHECK(desk.notices[0].owner == MiniToolWindow::kMain);
  FUZZ_CHECK(desk.snapshotsTaken == (e.walksProcesses ? 1 : 0));
  FUZZ_CHECK(desk.snapshotsOpen == 0);
  if (e.target != 0) {
    FUZZ_CHECK(desk.styleWrites.size() == 1);
    FUZZ_CHECK(desk.styleWrites[0].hwnd == e.target);
    FUZZ_CHECK(desk.styleWrites[0].index == taldoris::GWL_STYLE_INDEX);
    FUZZ_CHECK(static_cast<std::uint32_t>(desk.styleWrites[0].value) == taldoris::kBorderlessStyle);
  } else {
    FUZZ_CHECK(desk.styleWrites.empty());
  }
  // The name path leaves the status label alone.
  FUZZ_CHECK(window.captions7.empty());
  return 0;
}
