#include "tool.h"

#include <cstdio>

namespace e2e {

const char kToolTitle[] = "Taldoris窗口化工具    By：Morvenko";
const char kProcessName[] = "taldoris.exe";

namespace text {
const char kNoWindowUnderCursor[] = "游戏进程ID获取失败";
const char kCursorFailed[] = "无边框化设置失败";
const char kEmptyName[] = "请填写游戏主进程的名称";
const char kNoExe[] =
    "游戏主进程名称错误，所以可执行程序，均带有 [.exe] 后缀，请检查是否填写错误！";
const char kNoWindowOfProcess[] = "游戏ID获取失败";
const char kNameSucceeded[] = "无边框化设置成功";
const char kError[] = "错误";
const char kFailure[] = "失败";
const char kSuccess[] = "成功";
const char kCursorSucceeded[] = "无边框设置成功";
const char kStatus[] = "状态";
}  // namespace text

const char* IconName(Icon icon) {
  switch (icon) {
    case Icon::kNone:
      return "none";
    case Icon::kError:
      return "error";
    case Icon::kInformation:
      return "information";
    default:
      return "unknown";
  }
}

void EndLeftovers() {
  for (const char* name : {kProcessName, "notepad.exe", "winemine.exe", "e2e_target.exe",
                           "e2e_twin.exe", "e2e_recorder.exe"}) {
    KillByName(name);
  }
}

Tool::~Tool() { Stop(); }

bool Tool::Start() {
  KillByName(kProcessName);
  process_ = Launch("\"" + ToolPath() + "\"", ArtefactDir());
  if (process_.handle == nullptr) {
    error_ = "the tool did not start: " + ToolPath();
    return false;
  }
  const bool shown = WaitFor(
      [&] {
        HWND w = FindWindowA(nullptr, kToolTitle);
        if (w != nullptr && WindowPid(w) == process_.pid && IsWindowVisible(w)) {
          main = w;
          return true;
        }
        return false;
      },
      30000, 5);
  if (!shown) {
    error_ = "no visible window titled with the tool's title within 30 s";
    return false;
  }
  shownAtMs_ = NowMs();
  return FindControls();
}

namespace {
struct Place {
  int x, y, w, h;
};
bool At(HWND hwnd, Place p) {
  RECT r = PlaceInParent(hwnd);
  return r.left == p.x && r.top == p.y && r.right - r.left == p.w && r.bottom - r.top == p.h;
}
HWND ChildAt(HWND parent, Place p) {
  for (HWND w : ChildrenOf(parent)) {
    if (At(w, p)) return w;
  }
  return nullptr;
}
}  // namespace

bool Tool::FindControls() {
  struct Want {
    HWND* slot;
    HWND* parent;
    Place place;
    const char* name;
  };
  const Want wants[] = {
      {&group2, &main, {13, 8, 344, 224}, "分组框2"},
      {&label1, &main, {13, 248, 347, 74}, "标签1"},
      {&label7, &main, {111, 332, 152, 28}, "标签7"},
      {&check1, &main, {16, 334, 88, 24}, "选择框1"},
      {&link1, &main, {277, 334, 80, 24}, "超级链接框1"},
      {&label5, &group2, {16, 20, 43, 20}, "标签5"},
      {&edit1, &group2, {16, 43, 216, 20}, "编辑框1"},
      {&button1, &group2, {248, 43, 80, 40}, "按钮1"},
      {&label2, &group2, {16, 66, 227, 20}, "标签2"},
      {&label4, &group2, {16, 89, 299, 20}, "标签4"},
      {&label3, &group2, {14, 113, 315, 20}, "标签3"},
      {&label6, &group2, {23, 139, 299, 45}, "标签6"},
      {&label8, &group2, {22, 194, 299, 20}, "标签8"},
  };
  for (const Want& want : wants) {
    *want.slot = *want.parent == nullptr ? nullptr : ChildAt(*want.parent, want.place);
    if (*want.slot == nullptr) {
      char buffer[160];
      std::snprintf(buffer, sizeof(buffer), "no control at (%d,%d) %dx%d for %s", want.place.x,
                    want.place.y, want.place.w, want.place.h, want.name);
      error_ = buffer;
      return false;
    }
  }
  status1 = nullptr;
  for (HWND w : ChildrenOf(main)) {
    if (ClassName(w) == "msctls_statusbar32") status1 = w;
  }
  if (status1 == nullptr) {
    error_ = "no status bar";
    return false;
  }
  return true;
}

long Tool::WaitExit(std::uint32_t timeoutMs) {
  if (process_.handle == nullptr) return -2;
  if (WaitForSingleObject(process_.handle, timeoutMs) != WAIT_OBJECT_0) return -2;
  DWORD code = 0;
  GetExitCodeProcess(process_.handle, &code);
  return static_cast<long>(code);
}

std::vector<Notice> Tool::Notices() const {
  std::vector<Notice> out;
  for (HWND w : TopLevelWindowsOf(process_.pid, true)) {
    if (ClassName(w) != "#32770") continue;
    Notice n;
    n.box = w;
    n.caption = WindowText(w);
    n.owner = GetWindow(w, GW_OWNER);
    for (HWND c : ChildrenOf(w)) {
      if (ClassName(c) != "Static") continue;
      if ((Style(c) & SS_TYPEMASK) == SS_ICON) {
        n.iconStatic = c;
      } else {
        std::string t = WindowText(c);
        if (!t.empty()) n.text = t;
      }
    }
    out.push_back(n);
  }
  return out;
}

Notice Tool::WaitNotice(std::uint32_t timeoutMs) const {
  Notice found;
  WaitFor(
      [&] {
        std::vector<Notice> all = Notices();
        if (all.empty() || all.front().text.empty()) return false;
        found = all.front();
        return true;
      },
      timeoutMs, 5);
  return found;
}

bool Tool::WaitNoNotice(std::uint32_t timeoutMs) const {
  return WaitFor([&] { return Notices().empty(); }, timeoutMs, 20);
}

namespace {
Icon ClassifyIcon(HWND iconStatic) {
  ColourCount c = CountColours(WindowRectOf(iconStatic));
  if (c.total == 0) return Icon::kUnknown;
  // Wine's error icon is a red disc, its information icon a blue one.
  if (c.red * 8 > c.total && c.red > c.blue * 4) return Icon::kError;
  if (c.blue * 8 > c.total && c.blue > c.red * 4) return Icon::kInformation;
  return Icon::kUnknown;
}
}  // namespace

Icon Tool::IconOf(const Notice& n) const {
  if (n.iconStatic == nullptr || !IsWindowVisible(n.iconStatic)) return Icon::kNone;
  // A box that has just come up may not have painted its icon yet.
  Icon icon = Icon::kUnknown;
  WaitFor([&] { return (icon = ClassifyIcon(n.iconStatic)) != Icon::kUnknown; }, 3000, 20);
  return icon;
}

void Tool::TypeName(const std::string& name) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(edit1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()),
                      SMTO_ABORTIFHUNG, 3000, &result);
}

void Tool::ClickButton() { Click(Centre(button1)); }

void Tool::PostButtonClick() { PostMessageA(button1, BM_CLICK, 0, 0); }

void Tool::Stop() {
  if (IsRunning(process_)) Kill(process_);
  if (process_.handle != nullptr) {
    CloseHandle(process_.handle);
    process_ = Process{};
  }
}

}  // namespace e2e
