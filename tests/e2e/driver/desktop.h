// What the end-to-end driver can do on the desktop as a user or another
// program could: start and end processes, find windows and read what they
// show, move the cursor, press keys and click. Nothing here knows the tool's
// private ids; the tool's controls are found by their places and texts.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Milliseconds since the driver started (a steady clock).
std::uint64_t NowMs();

// Polls pred every stepMs until it holds or timeoutMs have passed; returns
// whether it held.
bool WaitFor(const std::function<bool()>& pred, std::uint32_t timeoutMs,
             std::uint32_t stepMs = 10);

// --- paths -----------------------------------------------------------------
std::string DriverDir();          // folder of the driver, with a trailing '\'
std::string ToolPath();           // the tool's exe (..\..\taldoris.exe)
std::string ArtefactDir();        // build folder that keeps the screenshot

// --- processes ---------------------------------------------------------------
struct Process {
  HANDLE handle = nullptr;
  DWORD pid = 0;
};
// Starts a command line (with the given working folder, or the driver's).
Process Launch(const std::string& commandLine, const std::string& cwd = "");
// Ends every process whose exe name equals name (ASCII case folded), and
// waits until they are gone.
void KillByName(const std::string& name);
void Kill(Process& p);
// Exe names of running processes in the order of a process snapshot, with
// their ids.
std::vector<std::pair<std::string, DWORD>> ProcessList();
bool IsRunning(const Process& p);

// --- windows -----------------------------------------------------------------
std::string WindowText(HWND hwnd);      // WM_GETTEXT, ANSI (GBK here)
std::string ClassName(HWND hwnd);
DWORD WindowPid(HWND hwnd);
std::uint32_t Style(HWND hwnd);
std::uint32_t ExStyle(HWND hwnd);
RECT WindowRectOf(HWND hwnd);
bool SameRect(const RECT& a, const RECT& b);
std::string RectText(const RECT& r);
// Top-level windows in Z-order from the top.
std::vector<HWND> TopLevelWindows();
std::vector<HWND> TopLevelWindowsOf(DWORD pid, bool visibleOnly);
std::vector<HWND> ChildrenOf(HWND parent);  // direct children, in Z-order
// The window's place relative to the client area of its parent.
RECT PlaceInParent(HWND hwnd);
POINT Centre(HWND hwnd);
// The first visible top-level window of the process whose title is title
// (or any title when title is empty); 0 if none.
HWND FindTopLevel(DWORD pid, const std::string& title);

// --- input -------------------------------------------------------------------
void MoveCursor(POINT p);
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void PressKey(WORD vk);
void Click(POINT p);
void DoubleClick(POINT p);
void Drag(POINT from, POINT to);

// --- pictures ------------------------------------------------------------------
// Counts of strongly red and strongly blue pixels in a screen rectangle.
struct ColourCount {
  int red = 0;
  int blue = 0;
  int dark = 0;  // grey or black, as text is drawn
  int total = 0;
};
ColourCount CountColours(const RECT& screenRect);
// Writes a 24-bit BMP of a screen rectangle; false on failure.
bool SaveScreenBmp(const RECT& screenRect, const std::string& path);

// "0x%08X" of a style word, for messages.
std::string Hex(std::uint32_t v);
// A window handle as the tool shows it: signed decimal.
std::string Decimal(HWND hwnd);

// A program of the suite with its window.
struct Target {
  Process process;
  HWND window = nullptr;
};

// Starts a program of the suite (EXE MODE "TITLE" X Y W H, beside the driver)
// and waits for its first titled top-level window (visible ones only, unless
// visibleOnly is false).
Target StartProgram(const std::string& exe, const std::string& mode, const std::string& title,
                    RECT place, bool visibleOnly = true);

}  // namespace e2e
