#include "desktop.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace e2e {

std::uint64_t NowMs() {
  using namespace std::chrono;
  static const steady_clock::time_point start = steady_clock::now();
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now() - start).count());
}

bool WaitFor(const std::function<bool()>& pred, std::uint32_t timeoutMs, std::uint32_t stepMs) {
  const std::uint64_t end = NowMs() + timeoutMs;
  for (;;) {
    if (pred()) return true;
    if (NowMs() >= end) return pred();
    Sleep(stepMs);
  }
}

std::string DriverDir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

std::string ArtefactDir() {
  // The driver lives in <build>\tests\e2e\.
  return DriverDir() + "..\\..\\";
}

std::string ToolPath() { return ArtefactDir() + "taldoris.exe"; }

Process Launch(const std::string& commandLine, const std::string& cwd) {
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  const std::string dir = cwd.empty() ? DriverDir() : cwd;
  Process p;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                      &pi)) {
    return p;
  }
  CloseHandle(pi.hThread);
  p.handle = pi.hProcess;
  p.pid = pi.dwProcessId;
  return p;
}

static std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

std::vector<std::pair<std::string, DWORD>> ProcessList() {
  std::vector<std::pair<std::string, DWORD>> out;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return out;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL ok = Process32First(snap, &entry); ok; ok = Process32Next(snap, &entry)) {
    out.emplace_back(entry.szExeFile, entry.th32ProcessID);
  }
  CloseHandle(snap);
  return out;
}

void KillByName(const std::string& name) {
  const std::string wanted = Lower(name);
  std::vector<HANDLE> ended;
  for (const auto& entry : ProcessList()) {
    if (Lower(entry.first) != wanted || entry.second == GetCurrentProcessId()) continue;
    HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.second);
    if (h == nullptr) continue;
    TerminateProcess(h, 1);
    ended.push_back(h);
  }
  for (HANDLE h : ended) {
    WaitForSingleObject(h, 10000);
    CloseHandle(h);
  }
}

void Kill(Process& p) {
  if (p.handle != nullptr) {
    TerminateProcess(p.handle, 1);
    WaitForSingleObject(p.handle, 10000);
    CloseHandle(p.handle);
  }
  p = Process{};
}

bool IsRunning(const Process& p) {
  return p.handle != nullptr && WaitForSingleObject(p.handle, 0) == WAIT_TIMEOUT;
}

std::string WindowText(HWND hwnd) {
  char buffer[4096];
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 3000, &length)) {
    // A hung or busy owner: the caption that the system keeps.
    int n = GetWindowTextA(hwnd, buffer, sizeof(buffer));
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
  }
  if (length >= sizeof(buffer)) length = sizeof(buffer) - 1;
  return std::string(buffer, static_cast<size_t>(length));
}

std::string ClassName(HWND hwnd) {
  char buffer[256];
  int n = GetClassNameA(hwnd, buffer, sizeof(buffer));
  return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

DWORD WindowPid(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

std::uint32_t Style(HWND hwnd) { return static_cast<std::uint32_t>(GetWindowLongA(hwnd, GWL_STYLE)); }
std::uint32_t ExStyle(HWND hwnd) {
  return static_cast<std::uint32_t>(GetWindowLongA(hwnd, GWL_EXSTYLE));
}

RECT WindowRectOf(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return r;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string RectText(const RECT& r) {
  char buffer[96];
  std::snprintf(buffer, sizeof(buffer), "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
  return buffer;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> out;
  for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    out.push_back(w);
  }
  return out;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid, bool visibleOnly) {
  std::vector<HWND> out;
  for (HWND w : TopLevelWindows()) {
    if (WindowPid(w) != pid) continue;
    if (visibleOnly && !IsWindowVisible(w)) continue;
    out.push_back(w);
  }
  return out;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> out;
  for (HWND w = GetWindow(parent, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    out.push_back(w);
  }
  return out;
}

RECT PlaceInParent(HWND hwnd) {
  RECT r = WindowRectOf(hwnd);
  HWND parent = GetParent(hwnd);
  if (parent != nullptr && (Style(hwnd) & WS_CHILD) != 0) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

POINT Centre(HWND hwnd) {
  RECT r = WindowRectOf(hwnd);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND FindTopLevel(DWORD pid, const std::string& title) {
  for (HWND w : TopLevelWindowsOf(pid, true)) {
    if (title.empty()) return w;
    char buffer[512];
    int n = GetWindowTextA(w, buffer, sizeof(buffer));
    if (title == std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0)) return w;
  }
  return nullptr;
}

// --- input -------------------------------------------------------------------

void MoveCursor(POINT p) { SetCursorPos(p.x, p.y); }

static void SendKey(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_HOME || vk == VK_END || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP ||
      vk == VK_DOWN) {
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  }
  SendInput(1, &in, sizeof(in));
}

void KeyDown(WORD vk) { SendKey(vk, false); }
void KeyUp(WORD vk) { SendKey(vk, true); }
void PressKey(WORD vk) {
  KeyDown(vk);
  KeyUp(vk);
}

static void SendButton(DWORD flags) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof(in));
}

void Click(POINT p) {
  MoveCursor(p);
  SendButton(MOUSEEVENTF_LEFTDOWN);
  SendButton(MOUSEEVENTF_LEFTUP);
}

void DoubleClick(POINT p) {
  Click(p);
  Click(p);
}

void Drag(POINT from, POINT to) {
  MoveCursor(from);
  SendButton(MOUSEEVENTF_LEFTDOWN);
  const int steps = 8;
  for (int i = 1; i <= steps; ++i) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (to.x - from.x) / steps;
    in.mi.dy = (to.y - from.y) / steps;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof(in));
    Sleep(15);  // pacing of a hand on the mouse, not a wait for a result
  }
  MoveCursor(to);
  SendButton(MOUSEEVENTF_LEFTUP);
}

// --- pictures ------------------------------------------------------------------

namespace {
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bgr;  // bottom-up rows of 24-bit pixels, padded to 4 bytes
  int stride = 0;
};

bool Grab(const RECT& r, Capture& out) {
  out.width = r.right - r.left;
  out.height = r.bottom - r.top;
  if (out.width <= 0 || out.height <= 0) return false;
  out.stride = (out.width * 3 + 3) & ~3;
  out.bgr.assign(static_cast<size_t>(out.stride) * out.height, 0);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, out.width, out.height);
  HGDIOBJ old = SelectObject(mem, bmp);
  BOOL ok = BitBlt(mem, 0, 0, out.width, out.height, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = out.width;
  bi.bmiHeader.biHeight = out.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  int lines = ok ? GetDIBits(mem, bmp, 0, out.height, out.bgr.data(), &bi, DIB_RGB_COLORS) : 0;
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return lines == out.height;
}
}  // namespace

ColourCount CountColours(const RECT& screenRect) {
  ColourCount count;
  Capture c;
  if (!Grab(screenRect, c)) return count;
  for (int y = 0; y < c.height; ++y) {
    const std::uint8_t* row = c.bgr.data() + static_cast<size_t>(y) * c.stride;
    for (int x = 0; x < c.width; ++x) {
      const int b = row[x * 3], g = row[x * 3 + 1], r = row[x * 3 + 2];
      ++count.total;
      if (r > 150 && g < 110 && b < 110) ++count.red;
      if (b > 150 && r < 110 && b > g + 40) ++count.blue;
      if (r < 140 && g < 140 && b < 140) ++count.dark;
    }
  }
  return count;
}

bool SaveScreenBmp(const RECT& screenRect, const std::string& path) {
  Capture c;
  if (!Grab(screenRect, c)) return false;
  BITMAPFILEHEADER fh = {};
  BITMAPINFOHEADER ih = {};
  ih.biSize = sizeof(ih);
  ih.biWidth = c.width;
  ih.biHeight = c.height;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biCompression = BI_RGB;
  ih.biSizeImage = static_cast<DWORD>(c.bgr.size());
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(ih);
  fh.bfSize = fh.bfOffBits + ih.biSizeImage;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(&fh, sizeof(fh), 1, f) == 1 && std::fwrite(&ih, sizeof(ih), 1, f) == 1 &&
            std::fwrite(c.bgr.data(), 1, c.bgr.size(), f) == c.bgr.size();
  return std::fclose(f) == 0 && ok;
}

std::string Hex(std::uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof(buffer), "0x%08X", v);
  return buffer;
}

std::string Decimal(HWND hwnd) {
  return std::to_string(static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(hwnd)));
}

Target StartProgram(const std::string& exe, const std::string& mode, const std::string& title,
                    RECT place, bool visibleOnly) {
  Target t;
  char args[128];
  std::snprintf(args, sizeof(args), " %ld %ld %ld %ld", place.left, place.top,
                place.right - place.left, place.bottom - place.top);
  t.process = Launch("\"" + DriverDir() + exe + "\" " + mode + " \"" + title + "\"" + args);
  if (t.process.handle == nullptr) return t;
  WaitFor(
      [&] {
        for (HWND w : TopLevelWindowsOf(t.process.pid, visibleOnly)) {
          if (GetWindowTextLengthA(w) > 0) {
            t.window = w;
            return true;
          }
        }
        return false;
      },
      20000, 10);
  return t;
}

}  // namespace e2e
