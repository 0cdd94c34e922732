#include "core/borderless.h"

#include "core/lookup.h"
#include "core/notice.h"
#include "core/window_under_cursor.h"

namespace taldoris {

StyleChange ApplyBorderless(WindowSystem& ws, Hwnd hwnd) {
  // Unless the platform says otherwise, a 0 result is a refusal.
  bool refused = true;
  StyleChange change;
  change.previous =
      ws.SetWindowLongA(hwnd, GWL_STYLE_INDEX, static_cast<std::int32_t>(kBorderlessStyle), &refused);
  // A previous style of exactly 0 is not a failure: the new style is in place.
  change.applied = change.previous != 0 || !refused;
  return change;
}

Hwnd WindowOfProcessName(WindowSystem& ws, const char* name) {
  const ProcessId pid = FindProcessIdByName(ws, name);
  if (pid == 0) return 0;  // no such process: nothing to search for
  return FindVisibleWindowOfProcess(ws, pid, kNameLookupBudgetMs);
}

void BorderlessByCursor(WindowSystem& ws, ToolWindow& window, std::intptr_t /*arg1*/,
                        std::intptr_t /*arg2*/) {
  const Hwnd target = WindowUnderCursor(ws);
  if (target == 0) {
    ShowNotice(ws, "游戏进程ID获取失败", "错误", MB_ICONERROR_TYPE);
    return;
  }
  if (ApplyBorderless(ws, target).applied) {
    window.SetCaption7("无边框设置成功");
  } else {
    ShowNotice(ws, "无边框化设置失败", "失败", MB_ICONERROR_TYPE);
  }
}

void BorderlessByProcessName(WindowSystem& ws, ToolWindow& window) {
  const Text name = window.ReadEditText();
  if (CompareText(name, "") == 0) {
    ShowNotice(ws, "请填写游戏主进程的名称", "错误", MB_ICONERROR_TYPE);
    return;
  }
  if (FindText(name, "exe") == -1) {
    ShowNotice(ws,
               "游戏主进程名称错误，所以可执行程序，均带有 [.exe] 后缀，请检查是否填写错误！",
               "错误", MB_ICONERROR_TYPE);
    return;
  }
  const Hwnd target = WindowOfProcessName(ws, name);
  if (target == 0) {
    ShowNotice(ws, "游戏ID获取失败", "错误", MB_ICONERROR_TYPE);
    return;
  }
  if (ApplyBorderless(ws, target).applied) {
    ShowNotice(ws, "无边框化设置成功", "成功", MB_ICONINFORMATION_TYPE);
  } else {
    ShowNotice(ws, "无边框化设置失败", "失败", MB_ICONERROR_TYPE);
  }
}

}  // namespace taldoris
