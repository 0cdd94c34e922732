// What the tool's main window offers the logic: the conversion and the probe
// reach MainWindow only through this, so they are tested without a window.
#pragma once

#include "base/text.h"
#include "base/window_system.h"

namespace taldoris {

class ToolWindow {
 public:
  virtual ~ToolWindow() = default;
  // The label keeps its own copy; the caller keeps its text.
  virtual void SetCaption6(const char* text) = 0;  // 标签6: title under the cursor
  virtual void SetCaption7(const char* text) = 0;  // 标签7: status
  virtual void SetCaption8(const char* text) = 0;  // 标签8: handle under the cursor
  // A new text with the current contents of 编辑框1.
  virtual Text ReadEditText() = 0;
  virtual Hwnd MainHandle() = 0;    // MainWindow
  virtual Hwnd Label1Handle() = 0;  // 标签1, receiver of the hotkey's feedback
  virtual void SetAlwaysOnTop(bool value) = 0;
  virtual void SetShowInTaskbar(bool value) = 0;
};

}  // namespace taldoris
