// MainWindow: the tool's only window and the whole of its user interface.
//
// Other programs (screen readers, the end-to-end driver) find the window by
// its title and each control by its control id (GetDlgItem on the control's
// parent: 分组框2 for the eight controls inside it, MainWindow for the rest);
// every control's caption is its window text (WM_GETTEXT).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

#include "base/win32_window_system.h"
#include "core/message_pump.h"
#include "core/tool_window.h"

namespace taldoris {

// Control ids.
enum ControlId : int {
  kIdGroupBox2 = 1002,      // 分组框2, child of MainWindow
  kIdLabel5 = 1105,         // 标签5, in 分组框2
  kIdEdit1 = 1201,          // 编辑框1, in 分组框2
  kIdButton1 = 1301,        // 按钮1, in 分组框2
  kIdLabel2 = 1102,         // 标签2, in 分组框2
  kIdLabel4 = 1104,         // 标签4, in 分组框2
  kIdLabel3 = 1103,         // 标签3, in 分组框2
  kIdLabel6 = 1106,         // 标签6, in 分组框2
  kIdLabel8 = 1108,         // 标签8, in 分组框2
  kIdLabel1 = 1101,         // 标签1, child of MainWindow
  kIdLabel7 = 1107,         // 标签7, child of MainWindow
  kIdCheckBox1 = 1401,      // 选择框1, child of MainWindow
  kIdLink1 = 1501,          // 超级链接框1, child of MainWindow
  kIdStatusBar1 = 1601,     // 状态条1, child of MainWindow
};
constexpr UINT_PTR kTimer1Id = 1;  // 时钟1, a timer of MainWindow itself

// Window classes of the tool.
constexpr char kMainWindowClass[] = "TaldorisMainWindow";
constexpr char kLabelClass[] = "TaldorisLabel";
constexpr char kLinkClass[] = "TaldorisLink";

constexpr int kMainWindowWidth = 377;
constexpr int kMainWindowHeight = 424;

// The account that the contact link opens a chat with, and the command line
// that does it.
constexpr std::int32_t kContactNumber = 384716295;
constexpr char kContactCommandPrefix[] = "cmd /c start tencent://Message/?Uin=";

class MainWindow final : public ToolWindow, public MessageFilter {
 public:
  explicit MainWindow(WindowSystem& ws);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window hidden and centred with all its controls, starts
  // 时钟1 and makes the controls visible. False when the window or one of
  // its controls could not be made (nothing is left behind then).
  bool Create(HINSTANCE instance);
  // The created event: topmost, taskbar flag, the Home hotkey for 标签1.
  void OnCreated();
  // Shows the window normally and activates it.
  void Show();

  // ToolWindow
  void SetCaption6(const char* text) override;
  void SetCaption7(const char* text) override;
  void SetCaption8(const char* text) override;
  Text ReadEditText() override;
  Hwnd MainHandle() override;
  Hwnd Label1Handle() override;
  void SetAlwaysOnTop(bool value) override;
  void SetShowInTaskbar(bool value) override;

  bool AlwaysOnTop() const { return alwaysOnTop_; }
  bool ShowInTaskbar() const { return showInTaskbar_; }
  bool CheckBox1Checked() const;

  // MessageFilter: takes Esc (no Ctrl, Shift or Alt) addressed to the window
  // or any control and closes the window; moves the focus between the tab
  // stops with the platform's dialog keys.
  bool PreTranslate(const Message& msg) override;

  // The contact command line, "cmd /c start tencent://Message/?Uin=" and the
  // account number.
  static Text ContactCommand();

 private:
  // How a label draws itself; the label finds it in its user data.
  struct LabelLook {
    MainWindow* window = nullptr;
    HFONT font = nullptr;
    COLORREF colour = 0;
    UINT format = 0;  // DrawTextA flags
    bool feedback = false;  // raises the feedback event on kFeedbackMessage
  };
  struct LinkState {
    MainWindow* window = nullptr;
    bool hover = false;
  };
  static LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMain(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  bool RegisterClasses(HINSTANCE instance);
  bool CreateControls(HINSTANCE instance);
  void LayStatusBar();
  void OnCommand(int id, int code);
  void OnLabel1Feedback(WParam wParam, LParam lParam);
  void OnLinkPressed();
  LRESULT ColourStatic(HDC dc);

  static LRESULT CALLBACK LabelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND MakeLabel(HINSTANCE instance, HWND parent, int id, const char* text, int x, int y,
                 int width, int height, LabelLook* look);

  WindowSystem& ws_;
  LabelLook looks_[8];
  LinkState link_;
  HWND main_ = nullptr;
  HWND group2_ = nullptr;
  HWND label1_ = nullptr, label2_ = nullptr, label3_ = nullptr, label4_ = nullptr;
  HWND label5_ = nullptr, label6_ = nullptr, label7_ = nullptr, label8_ = nullptr;
  HWND edit1_ = nullptr;
  HWND button1_ = nullptr;
  HWND checkBox1_ = nullptr;
  HWND link1_ = nullptr;
  HWND statusBar1_ = nullptr;
  WNDPROC groupBoxDefault_ = nullptr;
  HFONT f1_ = nullptr, f2_ = nullptr, f3_ = nullptr;
  bool alwaysOnTop_ = false;
  bool showInTaskbar_ = true;
  bool exitOnDestroy_ = false;
};

}  // namespace taldoris
