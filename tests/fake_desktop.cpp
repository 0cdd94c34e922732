#include "tests/fake_desktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace taldoris {
namespace fake {

namespace {

constexpr const char* kOpNames[] = {
    "SetWindowLong",   "SetWindowProc",  "CallWindowProc",      "GetCurrentProcessId",
    "CreateSnapshot",  "Process32First", "Process32Next",       "CloseHandle",
    "FindWindowEx",    "IsWindow",       "IsWindowVisible",     "GetWindowThreadProcessId",
    "GetWindowTextLength", "GetWindowText", "GetCursorPos",     "WindowFromPoint",
    "GetParent",       "GetWindow",      "GetWindowRect",       "PtInRect",
    "GetTickCount",    "PeekMessage",    "GetMessage",          "TranslateMessage",
    "DispatchMessage", "SendMessage",    "RegisterHotKey",      "MessageBoxTimeout",
    "SetTopmost",      "LaunchHidden",
};
static_assert(sizeof kOpNames / sizeof kOpNames[0] == static_cast<int>(Op::kCount),
              "one name per operation");

bool Contains(const Rect& r, Point p) {
  return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
}

}  // namespace

const char* OpName(Op op) { return kOpNames[static_cast<int>(op)]; }

FakeDesktop* FakeDesktop::current_ = nullptr;

FakeDesktop::FakeDesktop() {
  EXPECT_EQ(current_, nullptr) << "one fake desktop at a time";
  current_ = this;
}

FakeDesktop::~FakeDesktop() {
  if (current_ == this) current_ = nullptr;
}

// --- building the desktop ------------------------------------------------------

Hwnd FakeDesktop::NewHandle(Hwnd wanted) {
  if (wanted != 0) {
    EXPECT_EQ(Find(wanted), nullptr) << "handle " << wanted << " is taken";
    return wanted;
  }
  while (Find(nextHandle_) != nullptr) nextHandle_ += 0x10;
  const Hwnd h = nextHandle_;
  nextHandle_ += 0x10;
  return h;
}

Hwnd FakeDesktop::AddTopLevel(const WindowSpec& spec) {
  const Hwnd h = NewHandle(spec.hwnd);
  Window w;
  w.owner = spec.owner;
  w.pid = spec.pid;
  w.rect = spec.rect;
  w.title = spec.title;
  w.visible = spec.visible;
  w.enabled = spec.enabled;
  w.style = spec.style;
  w.proc = &FakeDesktop::ClassProc;
  windows_[h] = std::move(w);
  topLevel_.push_back(h);
  return h;
}

Hwnd FakeDesktop::AddChild(Hwnd parent, const WindowSpec& spec) {
  Window* p = Find(parent);
  EXPECT_NE(p, nullptr) << "no parent " << parent;
  if (p == nullptr) return 0;
  const Hwnd h = NewHandle(spec.hwnd);
  Window w;
  w.parent = parent;
  w.pid = spec.pid != 0 ? spec.pid : p->pid;
  w.rect = spec.rect;
  w.title = spec.title;
  w.visible = spec.visible;
  w.enabled = spec.enabled;
  w.style = spec.style;
  w.proc = &FakeDesktop::ClassProc;
  windows_[h] = std::move(w);
  Find(parent)->children.push_back(h);
  return h;
}

void FakeDesktop::BringToTop(Hwnd hwnd) {
  std::vector<Hwnd>* level = SiblingsOf(hwnd);
  if (level == nullptr) return;
  level->erase(std::find(level->begin(), level->end(), hwnd));
  level->insert(level->begin(), hwnd);
}

void FakeDesktop::Destroy(Hwnd hwnd) {
  Window* w = Find(hwnd);
  if (w == nullptr) return;
  const std::vector<Hwnd> children = w->children;
  for (Hwnd child : children) Destroy(child);
  std::vector<Hwnd>* level = SiblingsOf(hwnd);
  if (level != nullptr) level->erase(std::find(level->begin(), level->end(), hwnd));
  windows_.erase(hwnd);
}

bool FakeDesktop::Exists(Hwnd hwnd) const { return Find(hwnd) != nullptr; }

void FakeDesktop::SetVisible(Hwnd hwnd, bool visible) {
  if (Window* w = Find(hwnd)) w->visible = visible;
}

void FakeDesktop::SetEnabled(Hwnd hwnd, bool enabled) {
  if (Window* w = Find(hwnd)) w->enabled = enabled;
}

void FakeDesktop::SetTitle(Hwnd hwnd, const std::string& title) {
  if (Window* w = Find(hwnd)) w->title = title;
}

std::int32_t FakeDesktop::Style(Hwnd hwnd) const {
  const Window* w = Find(hwnd);
  return w != nullptr ? w->style : 0;
}

Rect FakeDesktop::RectOf(Hwnd hwnd) const {
  const Window* w = Find(hwnd);
  return w != nullptr ? w->rect : Rect();
}

void FakeDesktop::RefuseStyleChange(Hwnd hwnd, bool refuse) {
  if (Window* w = Find(hwnd)) w->refuseStyle = refuse;
}

void FakeDesktop::SetHandler(Hwnd hwnd, Handler handler) {
  if (Window* w = Find(hwnd)) w->handler = std::move(handler);
}

WindowProc FakeDesktop::ProcOf(Hwnd hwnd) const {
  const Window* w = Find(hwnd);
  return w != nullptr ? w->proc : nullptr;
}

LResult TALDORIS_CALLBACK FakeDesktop::ClassProc(Hwnd hwnd, std::uint32_t msg, WParam wParam,
                                                 LParam lParam) {
  if (current_ == nullptr) return 0;
  const Window* w = current_->Find(hwnd);
  if (w == nullptr || !w->handler) return 0;
  // A copy: the handler may destroy its own window.
  const Handler handler = w->handler;
  return handler(hwnd, msg, wParam, lParam);
}

const FakeDesktop::Window* FakeDesktop::Find(Hwnd hwnd) const {
  const auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : &it->second;
}

FakeDesktop::Window* FakeDesktop::Find(Hwnd hwnd) {
  const auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : &it->second;
}

std::vector<Hwnd>* FakeDesktop::SiblingsOf(Hwnd hwnd) {
  Window* w = Find(hwnd);
  if (w == nullptr) return nullptr;
  if (w->parent == 0) return &topLevel_;
  Window* parent = Find(w->parent);
  return parent != nullptr ? &parent->children : nullptr;
}

// --- processes -------------------------------------------------------------------

void FakeDesktop::AddProcess(ProcessId pid, const std::string& exeName) {
  processes_.emplace_back(pid, exeName);
}

int FakeDesktop::SnapshotsOpen() const {
  int open = 0;
  for (const auto& entry : snapshots_) open += entry.second.open ? 1 : 0;
  return open;
}

bool FakeDesktop::Fetch(Handle snapshot, ProcessEntry* entry, bool first) {
  auto it = snapshots_.find(snapshot);
  if (it == snapshots_.end() || !it->second.open) return false;
  Snapshot& s = it->second;
  const int fetch = s.fetches++;
  if (fetch == fetchFailsAt) return false;
  if (first) s.next = 0;
  if (s.next >= s.entries.size()) return false;
  const auto& [pid, name] = s.entries[s.next++];
  *entry = ProcessEntry();
  entry->th32ProcessID = pid;
  std::memcpy(entry->szExeFile, name.data(), std::min(name.size(), sizeof entry->szExeFile - 1));
  return true;
}

// --- messages --------------------------------------------------------------------

void FakeDesktop::Post(Hwnd hwnd, std::uint32_t msg, WParam wParam, LParam lParam) {
  Message m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = tick;
  m.pt = cursor;
  queue_.push_back(m);
}

// --- observing calls -------------------------------------------------------------

void FakeDesktop::ResetCalls() {
  calls_.fill(0);
  callLog.clear();
}

void FakeDesktop::Note(Op op, Hwnd hwnd) {
  ++calls_[static_cast<int>(op)];
  if (logCalls) callLog.push_back(CallRecord{op, hwnd});
  if (onCall) onCall(op, hwnd);
}

// --- WindowSystem ------------------------------------------------------------------

std::int32_t FakeDesktop::SetWindowLongA(Hwnd hwnd, std::int32_t index, std::int32_t value,
                                         bool* refused) {
  Note(Op::SetWindowLong, hwnd);
  Window* w = Find(hwnd);
  if (w == nullptr || index != GWL_STYLE_INDEX || w->refuseStyle) {
    if (refused != nullptr) *refused = true;
    return 0;
  }
  const std::int32_t previous = w->style;
  w->style = value;
  if (refused != nullptr) *refused = false;
  return previous;
}

WindowProc FakeDesktop::SetWindowProcA(Hwnd hwnd, WindowProc proc) {
  Note(Op::SetWindowProc, hwnd);
  Window* w = Find(hwnd);
  if (w == nullptr || refuseProcChange) return nullptr;
  const WindowProc previous = w->proc;
  w->proc = proc;
  return previous;
}

LResult FakeDesktop::CallWindowProcA(WindowProc proc, Hwnd hwnd, std::uint32_t msg,
                                     WParam wParam, LParam lParam) {
  Note(Op::CallWindowProc, hwnd);
  return proc != nullptr ? proc(hwnd, msg, wParam, lParam) : 0;
}

ProcessId FakeDesktop::GetCurrentProcessId() {
  Note(Op::GetCurrentProcessId, 0);
  return currentPid;
}

Handle FakeDesktop::CreateToolhelp32Snapshot(std::uint32_t flags, ProcessId pid) {
  Note(Op::CreateSnapshot, 0);
  EXPECT_EQ(flags, TH32CS_SNAPPROCESS_FLAG);
  EXPECT_EQ(pid, 0u);
  if (snapshotFails) return kInvalidHandle;
  const Handle h = nextSnapshot_;
  nextSnapshot_ += 4;
  Snapshot s;
  s.entries = processes_;
  snapshots_[h] = std::move(s);
  ++snapshotsOpened_;
  return h;
}

bool FakeDesktop::Process32First(Handle snapshot, ProcessEntry* entry) {
  Note(Op::Process32First, 0);
  return Fetch(snapshot, entry, true);
}

bool FakeDesktop::Process32Next(Handle snapshot, ProcessEntry* entry) {
  Note(Op::Process32Next, 0);
  return Fetch(snapshot, entry, false);
}

bool FakeDesktop::CloseHandle(Handle handle) {
  Note(Op::CloseHandle, 0);
  auto it = snapshots_.find(handle);
  if (it == snapshots_.end() || !it->second.open) {
    ADD_FAILURE() << "CloseHandle of a handle that is not open: " << handle;
    return false;
  }
  it->second.open = false;
  return true;
}

Hwnd FakeDesktop::FindWindowExA(Hwnd parent, Hwnd after, const char* className,
                                const char* title) {
  Note(Op::FindWindowEx, after);
  EXPECT_EQ(parent, 0u);
  EXPECT_EQ(className, nullptr);
  EXPECT_EQ(title, nullptr);
  if (after == 0) return topLevel_.empty() ? 0 : topLevel_.front();
  const auto it = std::find(topLevel_.begin(), topLevel_.end(), after);
  if (it == topLevel_.end() || it + 1 == topLevel_.end()) return 0;
  return *(it + 1);
}

bool FakeDesktop::IsWindow(Hwnd hwnd) {
  Note(Op::IsWindow, hwnd);
  return Find(hwnd) != nullptr;
}

bool FakeDesktop::IsWindowVisible(Hwnd hwnd) {
  Note(Op::IsWindowVisible, hwnd);
  for (const Window* w = Find(hwnd); w != nullptr; w = w->parent != 0 ? Find(w->parent) : nullptr) {
    if (!w->visible) return false;
    if (w->parent == 0) return true;
  }
  return false;
}

std::uint32_t FakeDesktop::GetWindowThreadProcessId(Hwnd hwnd, ProcessId* pid) {
  Note(Op::GetWindowThreadProcessId, hwnd);
  const Window* w = Find(hwnd);
  if (w == nullptr) return 0;
  if (pid != nullptr) *pid = w->pid;
  return w->pid + 4;  // some thread of that process
}

std::int32_t FakeDesktop::GetWindowTextLengthA(Hwnd hwnd) {
  Note(Op::GetWindowTextLength, hwnd);
  const Window* w = Find(hwnd);
  return w != nullptr ? static_cast<std::int32_t>(w->title.size()) : 0;
}

std::int32_t FakeDesktop::GetWindowTextA(Hwnd hwnd, char* buffer, std::int32_t size) {
  Note(Op::GetWindowText, hwnd);
  if (buffer == nullptr || size <= 0) return 0;
  const Window* w = Find(hwnd);
  if (w == nullptr) {
    buffer[0] = '\0';
    return 0;
  }
  const std::size_t n = std::min(w->title.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, w->title.data(), n);
  buffer[n] = '\0';
  return static_cast<std::int32_t>(n);
}

bool FakeDesktop::GetCursorPos(Point* point) {
  Note(Op::GetCursorPos, 0);
  if (!cursorReadable) return false;
  *point = cursor;
  return true;
}

Hwnd FakeDesktop::HitIn(const std::vector<Hwnd>& level, Point point, bool childLevel) const {
  for (Hwnd h : level) {
    const Window* w = Find(h);
    // Hidden windows are never hit; disabled child windows neither (the point
    // then belongs to their parent).
    if (w == nullptr || !w->visible || (childLevel && !w->enabled) || !Contains(w->rect, point)) {
      continue;
    }
    const Hwnd inner = HitIn(w->children, point, true);
    return inner != 0 ? inner : h;
  }
  return 0;
}

Hwnd FakeDesktop::WindowFromPoint(Point point) {
  Note(Op::WindowFromPoint, 0);
  if (windowFromPointOverride != 0) return windowFromPointOverride;
  return HitIn(topLevel_, point, false);
}

Hwnd FakeDesktop::GetParent(Hwnd hwnd) {
  Note(Op::GetParent, hwnd);
  const Window* w = Find(hwnd);
  if (w == nullptr) return 0;
  return w->parent != 0 ? w->parent : w->owner;
}

Hwnd FakeDesktop::GetWindow(Hwnd hwnd, std::uint32_t cmd) {
  Note(Op::GetWindow, hwnd);
  EXPECT_EQ(cmd, GW_HWNDNEXT_CMD);
  std::vector<Hwnd>* level = SiblingsOf(hwnd);
  if (level == nullptr || cmd != GW_HWNDNEXT_CMD) return 0;
  const auto it = std::find(level->begin(), level->end(), hwnd);
  return (it == level->end() || it + 1 == level->end()) ? 0 : *(it + 1);
}

bool FakeDesktop::GetWindowRect(Hwnd hwnd, Rect* rect) {
  Note(Op::GetWindowRect, hwnd);
  const Window* w = Find(hwnd);
  if (w == nullptr) return false;
  *rect = w->rect;
  return true;
}

bool FakeDesktop::PtInRect(const Rect& rect, Point point) {
  Note(Op::PtInRect, 0);
  return Contains(rect, point);
}

std::uint32_t FakeDesktop::GetTickCount() {
  Note(Op::GetTickCount, 0);
  const std::uint32_t now = tick;
  tick += tickPerGetTickCount;
  return now;
}

bool FakeDesktop::PeekMessageA(Message* msg) {
  Note(Op::PeekMessage, 0);
  tick += tickPerPeek;
  if (queue_.empty()) return false;
  *msg = queue_.front();
  return true;
}

bool FakeDesktop::GetMessageA(Message* msg) {
  Note(Op::GetMessage, 0);
  if (queue_.empty()) {
    ADD_FAILURE() << "GetMessageA on an empty queue would block";
    return false;
  }
  *msg = queue_.front();
  queue_.pop_front();
  return msg->message != WM_QUIT_MESSAGE;
}

bool FakeDesktop::TranslateMessage(const Message& msg) {
  Note(Op::TranslateMessage, msg.hwnd);
  return false;
}

LResult FakeDesktop::DispatchMessageA(const Message& msg) {
  Note(Op::DispatchMessage, msg.hwnd);
  const Window* w = Find(msg.hwnd);
  if (w == nullptr) return 0;
  const WindowProc proc = w->proc;
  return proc != nullptr ? proc(msg.hwnd, msg.message, msg.wParam, msg.lParam) : 0;
}

LResult FakeDesktop::SendMessageA(Hwnd hwnd, std::uint32_t msg, WParam wParam, LParam lParam) {
  Note(Op::SendMessage, hwnd);
  const Window* w = Find(hwnd);
  if (w == nullptr) return 0;
  const WindowProc proc = w->proc;
  return proc != nullptr ? proc(hwnd, msg, wParam, lParam) : 0;
}

bool FakeDesktop::RegisterHotKey(Hwnd hwnd, std::int32_t id, std::uint32_t modifiers,
                                 std::uint32_t key) {
  Note(Op::RegisterHotKey, hwnd);
  hotkeyCalls.push_back(HotkeyCall{hwnd, id, modifiers, key});
  if (hotkeyAnswers.empty()) return true;
  const bool accepted = hotkeyAnswers.front();
  hotkeyAnswers.pop_front();
  return accepted;
}

std::int32_t FakeDesktop::MessageBoxTimeoutA(Hwnd owner, const char* text, const char* caption,
                                             std::uint32_t type, std::uint16_t language,
                                             std::uint32_t timeoutMs) {
  Note(Op::MessageBoxTimeout, owner);
  BoxRecord box;
  box.owner = owner;
  box.text = text != nullptr ? text : "";
  box.caption = caption != nullptr ? caption : "";
  box.type = type;
  box.language = language;
  box.timeoutMs = timeoutMs;
  box.depth = ++openBoxes_;
  // The open box is a visible top-level window of this process, above all.
  WindowSpec spec;
  spec.pid = currentPid;
  spec.owner = owner;
  spec.title = box.caption;
  spec.rect = Rect{100, 100, 300, 200};
  box.boxWindow = AddTopLevel(spec);
  BringToTop(box.boxWindow);
  boxes.push_back(box);

  if (whileBoxOpen) whileBoxOpen(box);
  // The box's modal loop: the thread's messages keep being dispatched.
  while (boxDispatchesQueue && !queue_.empty() && queue_.front().message != WM_QUIT_MESSAGE) {
    const Message m = queue_.front();
    queue_.pop_front();
    TranslateMessage(m);
    DispatchMessageA(m);
  }

  Destroy(box.boxWindow);
  --openBoxes_;
  return 1;  // IDOK
}

bool FakeDesktop::SetTopmost(Hwnd hwnd, bool topmost) {
  Note(Op::SetTopmost, hwnd);
  topmostCalls.emplace_back(hwnd, topmost);
  return Find(hwnd) != nullptr;
}

bool FakeDesktop::LaunchHidden(const char* commandLine) {
  Note(Op::LaunchHidden, 0);
  launches.emplace_back(commandLine != nullptr ? commandLine : "");
  return true;
}

// --- FakeToolWindow ------------------------------------------------------------------

void FakeToolWindow::SetCaption6(const char* text) {
  caption6 = text != nullptr ? text : "";
  captions.push_back(Caption{6, caption6});
}

void FakeToolWindow::SetCaption7(const char* text) {
  caption7 = text != nullptr ? text : "";
  captions.push_back(Caption{7, caption7});
}

void FakeToolWindow::SetCaption8(const char* text) {
  caption8 = text != nullptr ? text : "";
  captions.push_back(Caption{8, caption8});
}

Text FakeToolWindow::ReadEditText() {
  ++editReads;
  return editText;
}

}  // namespace fake
}  // namespace taldoris
