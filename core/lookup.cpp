#include "core/lookup.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/message_pump.h"

namespace taldoris {

ProcessId FindProcessIdByName(WindowSystem& ws, const char* name) {
  const Handle snapshot = ws.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS_FLAG, 0);
  if (snapshot == kInvalidHandle || snapshot == 0) return 0;

  const Text wanted = ToLowerText(name);
  ProcessEntry entry;
  bool fetched = ws.Process32First(snapshot, &entry);
  while (fetched) {
    const Text listed = ToLowerText(ByteArrayText(entry.szExeFile, sizeof entry.szExeFile));
    if (CompareText(listed, wanted) == 0) {
      const ProcessId found = entry.th32ProcessID;
      ws.CloseHandle(snapshot);
      return found;
    }
    fetched = ws.Process32Next(snapshot, &entry);
  }
  ws.CloseHandle(snapshot);
  return 0;
}

Hwnd FindVisibleWindowOfProcess(WindowSystem& ws, ProcessId pid, std::int32_t budgetMs) {
  const std::uint32_t start = ws.GetTickCount();
  Hwnd previous = 0;
  for (;;) {
    // Unsigned difference: a wrap of the tick counter between the two
    // readings still gives the true elapsed time.
    const std::uint32_t elapsed = ws.GetTickCount() - start;
    if (static_cast<std::int64_t>(elapsed) >= static_cast<std::int64_t>(budgetMs)) return 0;

    const Hwnd candidate = ws.FindWindowExA(0, previous, nullptr, nullptr);
    previous = candidate;  // 0 after the last one: the next step starts at the top
    if (candidate != 0 && ws.IsWindow(candidate) && ws.IsWindowVisible(candidate) &&
        WindowProcessId(ws, candidate) == pid) {
      return candidate;
    }
    PumpPendingEvents(ws);
  }
}

ProcessId WindowProcessId(WindowSystem& ws, Hwnd hwnd) {
  ProcessId pid = 0;
  ws.GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

Text WindowTitleText(WindowSystem& ws, Hwnd hwnd) {
  std::int32_t length = ws.GetWindowTextLengthA(hwnd);
  // A length the platform cannot mean (negative, or one that leaves no room
  // for the NUL) is read as no title rather than overflowing the size.
  if (length < 0 || length == std::numeric_limits<std::int32_t>::max()) length = 0;
  const std::int32_t size = length + 1;
  Text buffer = BlankText(size);
  const std::int32_t copied = ws.GetWindowTextA(hwnd, buffer.data(), size);
  // The title ends at the first NUL, and never goes past what the platform
  // says it copied: a window gone between the two calls leaves no blanks.
  std::size_t len = std::strlen(buffer.c_str());
  len = std::min(len, static_cast<std::size_t>(std::clamp(copied, 0, length)));
  return Text(buffer.c_str(), len);
}

}  // namespace taldoris
