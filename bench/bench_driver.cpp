// The benchmark's driver, run on the platform (under Wine on Linux): starts
// the tool and the floor program side by side against the same stand-in
// windows and processes, times what a user waits for, and prints one line
// per measurement:
//
//   sample <figure> <tool|floor> <value>     a single measurement
//   info <key> <text>                         context for the report
//   error <figure> <text>                     a figure that could not be had
//
// Usage: bench_driver --tool EXE --floor EXE --target EXE
//                     [--floor-dressed EXE] [--reps N] [--idle-seconds S] [--extra-processes N]
//                     [--only startup,hotkey,idle,name]
#include "bench/bench_shared.h"  // windows.h, before the headers that need it

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>


namespace {

// --- the tool as other programs see it ------------------------------------------
constexpr char kToolClass[] = "TaldorisMainWindow";
constexpr int kToolGroupBox2 = 1002;  // parent of the edit box, the button and 标签8
constexpr int kToolLabel8 = 1108;
constexpr int kToolEdit1 = 1201;
constexpr int kToolButton1 = 1301;

// Where the stand-ins stand. The tool and the floor are centred on the
// 1920x1080 screen (771..1148, 328..752); nothing here overlaps them.
constexpr int kTargetX = 40, kTargetY = 40, kTargetW = 400, kTargetH = 300;
constexpr int kGameX = 1450, kGameY = 60, kGameW = 300, kGameH = 200;
constexpr int kCrowdX = 1200, kCrowdY = 560;

struct Options {
  std::string tool, floor, dressed, target;
  int reps = 9;
  int idleSeconds = 60;
  int extraProcesses = 100;
  std::string only;
  bool Wants(const char* figure) const {
    if (only.empty()) return true;
    const std::string list = "," + only + ",";
    return list.find(std::string(",") + figure + ",") != std::string::npos;
  }
};

HANDLE g_job = nullptr;
HANDLE g_quit = nullptr;
HANDLE g_ready = nullptr;
HANDLE g_styleEvent = nullptr;
bench::SharedRecord* g_shared = nullptr;

void Line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::printf("\n");
  std::fflush(stdout);
}

void Progress(const char* format, ...) {
  va_list args;
  va_start(args, format);
  static const LONGLONG start = bench::QpcNow();
  std::fprintf(stderr, "bench_driver [%6.1f s]: ", bench::QpcToMs(bench::QpcNow() - start) / 1000.0);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fprintf(stderr, "\n");
  std::fflush(stderr);
}

void Sample(const char* figure, const char* who, double value) {
  Line("sample %s %s %.3f", figure, who, value);
}

// Polls every millisecond until `done` holds or `timeoutMs` has passed.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const LONGLONG start = bench::QpcNow();
  for (;;) {
    if (done()) return true;
    if (bench::QpcToMs(bench::QpcNow() - start) > timeoutMs) return done();
    Sleep(1);
  }
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

struct Child {
  HANDLE process = nullptr;
  DWORD pid = 0;
  LONGLONG startedQpc = 0;
  HWND main = nullptr;
  explicit operator bool() const { return process != nullptr; }
};

Child Start(const std::string& exe, const std::string& args) {
  Child child;
  std::string commandLine = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  const std::string folder = FolderOf(exe);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  child.startedQpc = bench::QpcNow();
  if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &si, &pi)) {
    Progress("cannot start %s (error %lu)", exe.c_str(), GetLastError());
    return Child();
  }
  if (g_job != nullptr) AssignProcessToJobObject(g_job, pi.hProcess);
  CloseHandle(pi.hThread);
  child.process = pi.hProcess;
  child.pid = pi.dwProcessId;
  return child;
}

bool Running(const Child& child) {
  return child.process != nullptr && WaitForSingleObject(child.process, 0) == WAIT_TIMEOUT;
}

// The first top-level window of the given class that the process owns.
HWND WindowOf(DWORD pid, const char* className, const char* title = nullptr) {
  for (HWND w = FindWindowExA(nullptr, nullptr, className, title); w != nullptr;
       w = FindWindowExA(nullptr, w, className, title)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid) return w;
  }
  return nullptr;
}

std::string TextOf(HWND hwnd) {
  char buffer[1024] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return std::string();
  }
  return std::string(buffer);
}

void SetText(HWND hwnd, const char* text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, &result);
}

void Stop(Child& child) {
  if (child.process == nullptr) return;
  if (child.main != nullptr && IsWindow(child.main)) PostMessageA(child.main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(child.process, 5000) != WAIT_OBJECT_0) {
    TerminateProcess(child.process, 1);
    WaitForSingleObject(child.process, 5000);
  }
  CloseHandle(child.process);
  child = Child();
}

void Kill(Child& child) {
  if (child.process == nullptr) return;
  TerminateProcess(child.process, 0);
  WaitForSingleObject(child.process, 5000);
  CloseHandle(child.process);
  child = Child();
}

// --- the tool or the floor, started and seen up ----------------------------------
// The tool, the bare floor, and the floor wearing the tool's platform pieces.
enum class Who { kTool, kFloor, kDressed };
const char* Name(Who who) {
  return who == Who::kTool ? "tool" : who == Who::kFloor ? "floor" : "dressed";
}

struct Program {
  Who who;
  Child child;
  double visibleMs = 0;  // process start -> main window visible
  double probeMs = 0;    // process start -> probe labels written
  HWND label8 = nullptr, edit = nullptr, button = nullptr;
};

bool StartProgram(const Options& o, Who who, const char* floorArgs, Program* p) {
  p->who = who;
  const bool tool = who == Who::kTool;
  p->child = Start(tool ? o.tool : who == Who::kFloor ? o.floor : o.dressed, tool ? "" : floorArgs);
  if (!p->child) return false;
  const char* cls = tool ? kToolClass : bench::kFloorClass;
  Child& c = p->child;
  if (!WaitUntil([&] {
        if (c.main == nullptr) c.main = WindowOf(c.pid, cls);
        return (c.main != nullptr && IsWindowVisible(c.main)) || !Running(c);
      }, 30000) || c.main == nullptr || !IsWindowVisible(c.main)) {
    Progress("%s: no visible main window within 30 s", Name(who));
    return false;
  }
  p->visibleMs = bench::QpcToMs(bench::QpcNow() - c.startedQpc);
  HWND controls = tool ? GetDlgItem(c.main, kToolGroupBox2) : c.main;
  p->label8 = GetDlgItem(controls, tool ? kToolLabel8 : bench::kIdLabel8);
  p->edit = GetDlgItem(controls, tool ? kToolEdit1 : bench::kIdEdit1);
  p->button = GetDlgItem(controls, tool ? kToolButton1 : bench::kIdButton1);
  if (p->label8 == nullptr ||
      !WaitUntil([&] { return !TextOf(p->label8).empty(); }, 10000)) {
    Progress("%s: the probe label stayed empty for 10 s", Name(who));
    return false;
  }
  p->probeMs = bench::QpcToMs(bench::QpcNow() - c.startedQpc);
  return true;
}

// --- processor time and memory of another process --------------------------------
bool UnderWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

// The head of a record of the system's process list (SystemProcessInformation).
struct ProcessRecord {
  ULONG nextEntryOffset;
  ULONG numberOfThreads;
  LARGE_INTEGER reserved[3];
  LARGE_INTEGER createTime;
  LARGE_INTEGER userTime;
  LARGE_INTEGER kernelTime;
  USHORT nameLength, nameMaximumLength;
  PWSTR nameBuffer;
  LONG basePriority;
  HANDLE uniqueProcessId;
};

// Kernel + user time of the process in 100 ns units, -1 when unknown. Wine
// answers GetProcessTimes for another process with the caller's own times,
// so there the system's process list (which Wine fills from the process's
// real accounting) is read instead.
LONGLONG CpuTime(const Child& child) {
  if (!UnderWine()) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(child.process, &created, &exited, &kernel, &user)) return -1;
    auto value = [](const FILETIME& f) {
      return static_cast<LONGLONG>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) |
                                   f.dwLowDateTime);
    };
    return value(kernel) + value(user);
  }
  auto query = reinterpret_cast<NtQuerySystemInformationFn>(reinterpret_cast<INT_PTR>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    const LONG status = query(5 /* SystemProcessInformation */, buffer.data(),
                              static_cast<ULONG>(buffer.size()), &needed);
    if (status == 0) break;
    if (attempt == 3) return -1;
    buffer.resize(buffer.size() * 4);
  }
  for (std::size_t offset = 0;;) {
    const auto* entry = reinterpret_cast<const ProcessRecord*>(&buffer[offset]);
    if (reinterpret_cast<ULONG_PTR>(entry->uniqueProcessId) == child.pid) {
      return entry->userTime.QuadPart + entry->kernelTime.QuadPart;
    }
    if (entry->nextEntryOffset == 0) return -1;
    offset += entry->nextEntryOffset;
  }
}

bool Memory(const Child& child, double* privateKib, double* workingSetKib) {
  PROCESS_MEMORY_COUNTERS_EX m = {};
  m.cb = sizeof m;
  if (!GetProcessMemoryInfo(child.process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m),
                            sizeof m)) {
    return false;
  }
  // PrivateUsage and PagefileUsage are the same committed private bytes on
  // Windows; Wine fills only the second.
  const SIZE_T priv = m.PrivateUsage != 0 ? m.PrivateUsage : m.PagefileUsage;
  *privateKib = static_cast<double>(priv) / 1024.0;
  *workingSetKib = static_cast<double>(m.WorkingSetSize) / 1024.0;
  return true;
}

// --- the stand-ins ------------------------------------------------------------
bool WaitReady(int count, DWORD timeoutMs) {
  const LONGLONG start = bench::QpcNow();
  for (int i = 0; i < count; ++i) {
    const double left = timeoutMs - bench::QpcToMs(bench::QpcNow() - start);
    if (left <= 0 || WaitForSingleObject(g_ready, static_cast<DWORD>(left)) != WAIT_OBJECT_0) {
      return false;
    }
  }
  return true;
}

HWND TargetWindow(const Child& target) { return WindowOf(target.pid, bench::kTargetClass); }

// Gives the window its ordinary framed style back and forgets earlier signals.
bool ResetStyle(HWND target) {
  SetWindowLongA(target, GWL_STYLE, bench::kTargetStyle);
  ResetEvent(g_styleEvent);
  return GetWindowLongA(target, GWL_STYLE) != bench::kBorderlessStyle;
}

// --- figure 1 and 6: start-up and footprint ----------------------------------------
void FigureStartup(const Options& o) {
  std::vector<Who> programs = {Who::kTool, Who::kFloor};
  if (!o.dressed.empty()) programs.push_back(Who::kDressed);
  Progress("start-up and footprint: %d rounds (plus one warm-up) of %zu programs", o.reps,
           programs.size());
  for (int round = 0; round <= o.reps; ++round) {
    for (std::size_t k = 0; k < programs.size(); ++k) {
      const Who who = programs[(round + k) % programs.size()];
      Program p;
      if (!StartProgram(o, who, "", &p)) {
        Line("error startup %s did not come up", Name(who));
        Stop(p.child);
        continue;
      }
      double privateKib = 0, workingSetKib = 0;
      const bool memory = Memory(p.child, &privateKib, &workingSetKib);
      Stop(p.child);
      if (round == 0) continue;  // warm-up: file cache, font cache
      Sample("startup_visible", Name(who), p.visibleMs);
      Sample("startup_probe", Name(who), p.probeMs);
      if (memory) {
        Sample("private_kib", Name(who), privateKib);
        Sample("workingset_kib", Name(who), workingSetKib);
      }
    }
  }
}

// --- figure 2: hotkey latency -------------------------------------------------------
void PressHome() {
  INPUT in[2] = {};
  in[0].type = INPUT_KEYBOARD;
  in[0].ki.wVk = VK_HOME;
  in[1] = in[0];
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

void FigureHotkey(const Options& o, HWND target) {
  const POINT aim = {kTargetX + kTargetW / 2, kTargetY + kTargetH / 2};
  Progress("hotkey latency: %d presses each, in two blocks", 2 * o.reps);
  for (int block = 0; block < 4; ++block) {
    const Who who = block % 2 == 0 ? Who::kTool : Who::kFloor;
    Program p;
    if (!StartProgram(o, who, "--hotkey", &p)) {
      Line("error hotkey %s did not come up", Name(who));
      Stop(p.child);
      continue;
    }
    SetCursorPos(aim.x, aim.y);
    if (WindowFromPoint(aim) != target) {
      Line("error hotkey the target is not the window under the cursor");
      Stop(p.child);
      return;
    }
    Sleep(200);
    for (int i = 0; i < o.reps; ++i) {
      if (!ResetStyle(target)) {
        Line("error hotkey the target's style could not be reset");
        break;
      }
      Sleep(25 + std::rand() % 50);  // spread the presses over the probe's second
      const LONGLONG pressed = bench::QpcNow();
      PressHome();
      if (WaitForSingleObject(g_styleEvent, 3000) != WAIT_OBJECT_0) {
        Line("error hotkey %s: no style change within 3 s of the press", Name(who));
        break;
      }
      const LONGLONG changed = g_shared->styleChangedQpc;
      if (GetWindowLongA(target, GWL_STYLE) != bench::kBorderlessStyle) {
        Line("error hotkey %s: the target's style is not 0x16020000", Name(who));
        break;
      }
      Sample("hotkey_ms", Name(who), bench::QpcToMs(changed - pressed));
    }
    Stop(p.child);
  }
  ResetStyle(target);
}

// --- figure 4: idle cost ---------------------------------------------------------------
void FigureIdle(const Options& o) {
  Progress("idle cost: the tool and the floors side by side for %d s", o.idleSeconds);
  Line("info the driver reads processor time with %s", UnderWine() ? "the process list (Wine's GetProcessTimes of "
                                                  "another process gives the caller's own times; "
                                                  "Wine counts in 10 ms steps)"
                                                : "GetProcessTimes");
  std::vector<Who> programs = {Who::kTool, Who::kFloor};
  if (!o.dressed.empty()) programs.push_back(Who::kDressed);
  std::vector<Program> running(programs.size());
  bool up = true;
  for (std::size_t i = 0; i < programs.size() && up; ++i) {
    up = StartProgram(o, programs[i], "", &running[i]);
  }
  if (!up) {
    Line("error idle the tool or a floor did not come up");
  } else {
    SetCursorPos(kTargetX + kTargetW / 2, kTargetY + kTargetH / 2);
    Sleep(2000);  // start-up work done, the probes ticking
    const LONGLONG t0 = bench::QpcNow();
    std::vector<LONGLONG> before;
    for (const Program& p : running) before.push_back(CpuTime(p.child));
    // Marks for a runner that reads finer clocks of its own over the same wait.
    Line("mark idle-begin");
    Sleep(static_cast<DWORD>(o.idleSeconds) * 1000);
    Line("mark idle-end");
    std::vector<LONGLONG> after;
    for (const Program& p : running) after.push_back(CpuTime(p.child));
    const double wallMs = bench::QpcToMs(bench::QpcNow() - t0);
    const bool ticking = TextOf(running[0].label8).rfind("ID", 0) == 0;
    const bool read = std::none_of(before.begin(), before.end(), [](LONGLONG v) { return v < 0; }) &&
                      std::none_of(after.begin(), after.end(), [](LONGLONG v) { return v < 0; });
    if (!read) {
      Line("error idle the processor time of the processes could not be read");
    } else if (!ticking) {
      Line("error idle the tool's probe was not ticking");
    } else {
      for (std::size_t i = 0; i < running.size(); ++i) {
        const double cpuMs = static_cast<double>(after[i] - before[i]) / 10000.0;
        Sample("idle_cpu_pct", Name(programs[i]), cpuMs / wallMs * 100.0);
        Sample("idle_cpu_ms_per_tick", Name(programs[i]), cpuMs / (wallMs / 1000.0));
      }
      Line("info idle wait of %.0f ms", wallMs);
    }
  }
  for (Program& p : running) Stop(p.child);
}

// --- figure 3: the name path --------------------------------------------------------------
HWND FindBox(DWORD pid, const char* caption) {
  HWND box = WindowOf(pid, "#32770", caption);
  return box != nullptr && IsWindowVisible(box) ? box : nullptr;
}

// Message boxes show their text in a static control with the id 0xFFFF.
std::string BoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text != nullptr ? TextOf(text) : std::string();
}

bool CloseBox(HWND box) {
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
}

// Click → the first notice of the program. Its time in ms when it is the
// expected one; -1 otherwise, with the notice that came instead reported.
double ClickUntilNotice(Program& p, const char* name, const char* caption, const char* text,
                        const char* figure) {
  SetText(p.edit, name);
  const LONGLONG clicked = bench::QpcNow();
  PostMessageA(p.button, BM_CLICK, 0, 0);
  HWND box = nullptr;
  if (!WaitUntil([&] { return (box = FindBox(p.child.pid, nullptr)) != nullptr; }, 10000)) {
    Line("error %s %s: no notice within 10 s of the click", figure, Name(p.who));
    return -1;
  }
  const double ms = bench::QpcToMs(bench::QpcNow() - clicked);
  const std::string shownCaption = TextOf(box);
  const std::string shown = BoxText(box);
  CloseBox(box);
  if (shownCaption != caption || (!shown.empty() && shown != text)) {
    Line("outcome %s %s other %.3f %s", figure, Name(p.who), ms, shown.c_str());
    return -1;
  }
  Line("outcome %s %s expected %.3f", figure, Name(p.who), ms);
  return ms;
}

// How long the platform takes to walk the top-level windows from the top
// looking at each the way the name path does (FindWindowExA(0, previous),
// IsWindow, IsWindowVisible, GetWindowThreadProcessId, one PeekMessageA), the
// way the floor does (no IsWindow, no PeekMessageA), and with
// GetWindow(GW_HWNDNEXT) instead of FindWindowExA. Median of five walks each.
void WalkCosts(int crowdSize) {
  std::vector<double> asTool, asFloor, byNext;
  int count = 0;
  for (int i = 0; i < 5; ++i) {
    DWORD pid = 0;
    LONGLONG t = bench::QpcNow();
    count = 0;
    for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, nullptr); w != nullptr;
         w = FindWindowExA(nullptr, w, nullptr, nullptr)) {
      ++count;
      if (IsWindow(w) && IsWindowVisible(w)) GetWindowThreadProcessId(w, &pid);
      MSG msg;
      PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    asTool.push_back(bench::QpcToMs(bench::QpcNow() - t));
    t = bench::QpcNow();
    for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, nullptr); w != nullptr;
         w = FindWindowExA(nullptr, w, nullptr, nullptr)) {
      if (IsWindowVisible(w)) GetWindowThreadProcessId(w, &pid);
    }
    asFloor.push_back(bench::QpcToMs(bench::QpcNow() - t));
    t = bench::QpcNow();
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
      if (IsWindowVisible(w)) GetWindowThreadProcessId(w, &pid);
    }
    byNext.push_back(bench::QpcToMs(bench::QpcNow() - t));
  }
  std::sort(asTool.begin(), asTool.end());
  std::sort(asFloor.begin(), asFloor.end());
  std::sort(byNext.begin(), byNext.end());
  Line("walk %d %d %.3f %.3f %.3f", crowdSize, count, asTool[2], asFloor[2], byNext[2]);
}

void FigureName(const Options& o) {
  // Copies of the stand-in under the names that the name path looks for.
  const std::string folder = FolderOf(o.target);
  const std::string game = folder + "\\bench_game.exe";
  const std::string hidden = folder + "\\bench_hidden.exe";
  const std::string extra = folder + "\\bench_extra.exe";
  for (const std::string& copy : {game, hidden, extra}) {
    if (!CopyFileA(o.target.c_str(), copy.c_str(), FALSE)) {
      Line("error name cannot copy the stand-in to %s", copy.c_str());
      return;
    }
  }

  Progress("name path: starting %d extra processes", o.extraProcesses);
  std::vector<Child> extras;
  const LONGLONG extrasStart = bench::QpcNow();
  for (int i = 0; i < o.extraProcesses; ++i) extras.push_back(Start(extra, "idle"));
  if (!WaitReady(o.extraProcesses, 180000)) {
    Line("error name the extra processes did not all come up");
    for (Child& c : extras) Kill(c);
    return;
  }
  Line("info extra_processes %d started in %.0f ms", o.extraProcesses,
       bench::QpcToMs(bench::QpcNow() - extrasStart));

  char gameArgs[64];
  std::snprintf(gameArgs, sizeof gameArgs, "window %d %d %d %d", kGameX, kGameY, kGameW, kGameH);
  Child gameChild = Start(game, gameArgs);
  Child hiddenChild = Start(hidden, "hidden 3");
  Program tool, floor;
  HWND gameWindow = nullptr;
  if (!gameChild || !hiddenChild || !WaitReady(2, 30000) ||
      (gameWindow = TargetWindow(gameChild)) == nullptr ||
      !StartProgram(o, Who::kTool, "", &tool) || !StartProgram(o, Who::kFloor, "--name", &floor) ||
      tool.edit == nullptr || tool.button == nullptr || floor.edit == nullptr ||
      floor.button == nullptr) {
    Line("error name the stand-ins, the tool or the floor did not come up");
  } else {
    // Where the game stands in the process list that both walk.
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    int index = 0, position = -1;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
      ++index;
      if (entry.th32ProcessID == gameChild.pid) position = index;
    }
    CloseHandle(snapshot);
    Line("info game_process entry %d of %d in the process list", position, index);

    for (int crowdSize : {50, 500}) {
      char crowdArgs[64];
      std::snprintf(crowdArgs, sizeof crowdArgs, "crowd %d %d %d", crowdSize, kCrowdX, kCrowdY);
      g_shared->crowdWindows = 0;
      Child crowd = Start(o.target, crowdArgs);
      if (!crowd || !WaitReady(1, 60000) || g_shared->crowdWindows != crowdSize) {
        Line("error name the crowd of %d windows did not come up", crowdSize);
        Kill(crowd);
        continue;
      }
      WalkCosts(crowdSize);
      Progress("name path with %d extra windows: %d clicks each", crowdSize, o.reps);

      char figure[32], budgetFigure[32];
      std::snprintf(figure, sizeof figure, "name%d_ms", crowdSize);
      std::snprintf(budgetFigure, sizeof budgetFigure, "notice5_%d_ms", crowdSize);
      for (int i = 0; i < o.reps; ++i) {
        for (int k = 0; k < 2; ++k) {
          Program& p = ((i + k) % 2 == 0) ? tool : floor;
          if (!ResetStyle(gameWindow)) continue;
          // The game's window lies below every other top-level window, so
          // that both walks pass the whole crowd before they reach it.
          SetWindowPos(gameWindow, HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
          Sleep(20 + std::rand() % 40);
          const double ms = ClickUntilNotice(p, "bench_game.exe", "成功", "无边框化设置成功", figure);
          if (ms >= 0) {
            if (GetWindowLongA(gameWindow, GWL_STYLE) != bench::kBorderlessStyle) {
              Line("error %s %s: success shown but the game's style is not 0x16020000", figure,
                   Name(p.who));
            } else {
              Sample(figure, Name(p.who), ms);
            }
          }
          Sleep(30);
        }
        // A process with hidden windows only: the tool searches for its
        // whole budget, the floor walks the list once.
        for (int k = 0; k < 2; ++k) {
          Program& p = ((i + k) % 2 == 0) ? tool : floor;
          Sleep(20 + std::rand() % 40);
          const double ms = ClickUntilNotice(p, "bench_hidden.exe", "错误", "游戏ID获取失败",
                                             budgetFigure);
          if (ms >= 0) Sample(budgetFigure, Name(p.who), ms);
          Sleep(30);
        }
      }
      Kill(crowd);
    }
  }
  ResetStyle(gameWindow);
  Stop(tool.child);
  Stop(floor.child);
  Kill(gameChild);
  Kill(hiddenChild);
  SetEvent(g_quit);
  for (Child& c : extras) Stop(c);
  ResetEvent(g_quit);
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    const char* value = argv[i + 1];
    if (key == "--tool") o.tool = value;
    else if (key == "--floor") o.floor = value;
    else if (key == "--floor-dressed") o.dressed = value;
    else if (key == "--target") o.target = value;
    else if (key == "--reps") o.reps = std::max(1, std::atoi(value));
    else if (key == "--idle-seconds") o.idleSeconds = std::max(1, std::atoi(value));
    else if (key == "--extra-processes") o.extraProcesses = std::max(0, std::atoi(value));
    else if (key == "--only") o.only = value;
    else {
      std::fprintf(stderr, "bench_driver: unknown option %s\n", key.c_str());
      return 2;
    }
  }
  if (o.tool.empty() || o.floor.empty() || o.target.empty()) {
    std::fprintf(stderr, "usage: bench_driver --tool EXE --floor EXE --target EXE [--reps N] "
                         "[--idle-seconds S] [--extra-processes N] [--only LIST]\n");
    return 2;
  }
  std::srand(12345);

  // Every process started here ends with the driver.
  g_job = CreateJobObjectA(nullptr, nullptr);
  if (g_job != nullptr) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(g_job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }
  g_quit = CreateEventA(nullptr, TRUE, FALSE, bench::kQuitEventName);
  g_ready = CreateSemaphoreA(nullptr, 0, 100000, bench::kReadySemaphoreName);
  g_styleEvent = CreateEventA(nullptr, FALSE, FALSE, bench::kStyleEventName);
  g_shared = bench::OpenSharedRecord();
  if (g_quit == nullptr || g_ready == nullptr || g_styleEvent == nullptr || g_shared == nullptr) {
    std::fprintf(stderr, "bench_driver: cannot make the shared objects\n");
    return 1;
  }
  Line("info platform %s, %s build, %d x %d screen",
       UnderWine() ? "Wine" : "Windows", sizeof(void*) == 8 ? "64-bit" : "32-bit",
       GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  Line("info code_page %u", GetACP());

  // The window under the cursor for the probe, the hotkey and the idle wait.
  char targetArgs[64];
  std::snprintf(targetArgs, sizeof targetArgs, "window %d %d %d %d", kTargetX, kTargetY, kTargetW,
                kTargetH);
  Child target = Start(o.target, targetArgs);
  HWND targetWindow = nullptr;
  if (!target || !WaitReady(1, 30000) || (targetWindow = TargetWindow(target)) == nullptr) {
    std::fprintf(stderr, "bench_driver: the target window did not come up\n");
    return 1;
  }
  SetCursorPos(kTargetX + kTargetW / 2, kTargetY + kTargetH / 2);

  if (o.Wants("startup")) FigureStartup(o);
  if (o.Wants("hotkey")) FigureHotkey(o, targetWindow);
  if (o.Wants("name")) FigureName(o);
  if (o.Wants("idle")) FigureIdle(o);

  SetEvent(g_quit);
  Stop(target);
  Line("info done");
  return 0;
}
