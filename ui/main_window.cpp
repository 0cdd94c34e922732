#include "ui/main_window.h"

#include <commctrl.h>

#include <initializer_list>

#include "base/text.h"
#include "core/borderless.h"
#include "core/cursor_probe.h"
#include "core/lookup.h"
#include "ui/hotkey_service.h"

namespace taldoris {

namespace {

constexpr char kTitle[] = "Taldoris窗口化工具    By：Morvenko";
constexpr char kTutorial[] =
    "使用教程\r\n"
    "1.先调整好分辨率,再将游戏设置为窗口化模式\r\n"
    "2.在指定游戏窗口下按下 [Home]键 自动窗口化\r\n"
    "3.使用按键操作时，无边框成功后,将会自动关闭本程序";
constexpr char kFontFace[] = "微软雅黑";

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(96, 96, 96);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kSkyBlue = RGB(0, 136, 255);
constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
constexpr COLORREF kLinkHoverBlue = RGB(0, 120, 215);

// DrawTextA flags of the three kinds of label.
constexpr UINT kOneLine = DT_NOCLIP | DT_SINGLELINE | DT_VCENTER;
constexpr UINT kOneLineCentred = kOneLine | DT_CENTER;
constexpr UINT kWrapped = DT_NOCLIP | DT_WORDBREAK | DT_VCENTER;
constexpr UINT kWrappedCentred = kWrapped | DT_CENTER;
constexpr UINT kLinkFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;

constexpr int kStatusPanel1RightEdge = 80;

HFONT MakeFont(int height, int weight, bool underline) {
  return CreateFontA(height, 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                     DEFAULT_PITCH, kFontFace);
}

HWND MakeChild(HINSTANCE instance, HWND parent, int id, DWORD exStyle, const char* windowClass,
               const char* text, DWORD style, int x, int y, int width, int height,
               void* param = nullptr) {
  // Created hidden: every control is shown once all exist.
  return CreateWindowExA(exStyle, windowClass, text, WS_CHILD | style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, param);
}

void SetFont(HWND control, HFONT font) {
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void FillWithFace(HDC dc, const RECT& area) { FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE)); }

// A window class of the tool's own, with the given cursor.
WNDCLASSEXA ClassOf(HINSTANCE instance, WNDPROC proc, const char* name, LPCSTR cursor) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, cursor);
  windowClass.lpszClassName = name;
  return windowClass;
}

// The tool's own windows keep their creation parameter in their user data.
void KeepCreateParam(HWND hwnd, UINT msg, LPARAM lParam) {
  if (msg != WM_NCCREATE) return;
  const auto* params = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(params->lpCreateParams));
}

// A caption drawn by the tool: the area filled with the default colour, the
// text (if any) transparent, in its colour and font.
void PaintCaption(HWND hwnd, const char* caption, HGDIOBJ font, COLORREF colour, UINT format) {
  PAINTSTRUCT paint = {};
  HDC dc = BeginPaint(hwnd, &paint);
  RECT area = {};
  GetClientRect(hwnd, &area);
  FillWithFace(dc, area);
  if (caption != nullptr) {
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextA(dc, caption, -1, &area, format);
    SelectObject(dc, previous);
  }
  EndPaint(hwnd, &paint);
}

// A new caption is drawn at the next paint.
LRESULT SetTextAndRepaint(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  LRESULT result = DefWindowProcA(hwnd, WM_SETTEXT, wParam, lParam);
  InvalidateRect(hwnd, nullptr, FALSE);
  return result;
}

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace

MainWindow::MainWindow(WindowSystem& ws) : ws_(ws) {}

MainWindow::~MainWindow() {
  if (InstalledMessageFilter() == this) InstallMessageFilter(nullptr);
  for (HFONT font : {f1_, f2_, f3_}) {
    if (font != nullptr) DeleteObject(font);
  }
}

Text MainWindow::ContactCommand() {
  static_assert(kContactNumber > 0, "an account number");
  Text number = DecimalText(kContactNumber);
  return ConcatText(kContactCommandPrefix, number);
}

// --- building ------------------------------------------------------------------

bool MainWindow::RegisterClasses(HINSTANCE instance) {
  HICON big = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON,
                                            GetSystemMetrics(SM_CXICON),
                                            GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  HICON smallIcon = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));

  WNDCLASSEXA main = ClassOf(instance, MainProc, kMainWindowClass, IDC_ARROW);
  main.hIcon = big;
  main.hIconSm = smallIcon;
  main.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  WNDCLASSEXA label = ClassOf(instance, LabelProc, kLabelClass, IDC_ARROW);
  WNDCLASSEXA link = ClassOf(instance, LinkProc, kLinkClass, IDC_HAND);

  for (const WNDCLASSEXA* windowClass : {&main, &label, &link}) {
    if (RegisterClassExA(windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      return false;
    }
  }
  return true;
}

HWND MainWindow::MakeLabel(HINSTANCE instance, HWND parent, int id, const char* text, int x, int y,
                           int width, int height, LabelLook* look) {
  look->window = this;
  // Disabled: a label takes no mouse or keyboard input.
  return MakeChild(instance, parent, id, 0, kLabelClass, text, WS_DISABLED, x, y, width, height,
                   look);
}

bool MainWindow::Create(HINSTANCE instance) {
  // Loaded only now, when libraries are looked for in the system directory.
  LoadCommonControls(ICC_BAR_CLASSES | ICC_STANDARD_CLASSES);

  if (!RegisterClasses(instance)) return false;

  f1_ = MakeFont(-12, FW_NORMAL, false);
  f2_ = MakeFont(-16, FW_BOLD, false);
  f3_ = MakeFont(-12, FW_NORMAL, true);

  alwaysOnTop_ = false;
  showInTaskbar_ = true;  // unowned: its own taskbar button
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
  main_ = CreateWindowExA(0, kMainWindowClass, kTitle,
                          WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, left, top,
                          kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, this);
  if (main_ == nullptr) return false;

  if (!CreateControls(instance)) {
    DestroyWindow(main_);  // not started yet: destroying it does not end the process
    main_ = nullptr;
    return false;
  }
  exitOnDestroy_ = true;
  LayStatusBar();
  SetTimer(main_, kTimer1Id, kProbeIntervalMs, nullptr);

  // Every control visible, none activated; the window itself stays hidden.
  for (HWND control : {group2_, label5_, edit1_, button1_, label2_, label4_, label3_, label6_,
                       label8_, label1_, label7_, checkBox1_, link1_, statusBar1_}) {
    ShowWindow(control, SW_SHOWNA);
  }
  InstallMessageFilter(this);
  return true;
}

bool MainWindow::CreateControls(HINSTANCE instance) {
  // 分组框2 is the real parent of its eight controls; it passes their
  // notifications on to MainWindow.
  group2_ = MakeChild(instance, main_, kIdGroupBox2, WS_EX_CONTROLPARENT, "BUTTON", "手动操作",
                      BS_GROUPBOX | BS_LEFT | WS_CLIPCHILDREN, 13, 8, 344, 224);
  if (group2_ == nullptr) return false;
  SetFont(group2_, f1_);
  groupBoxDefault_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(group2_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GroupBoxProc)));

  looks_[0] = {this, f1_, kGrey, kOneLine, false};
  label5_ = MakeLabel(instance, group2_, kIdLabel5, "方法1：", 16, 20, 43, 20, &looks_[0]);

  edit1_ = MakeChild(instance, group2_, kIdEdit1, WS_EX_CLIENTEDGE, "EDIT", "",
                     ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, 16, 43, 216, 20);
  if (edit1_ != nullptr) {
    SetFont(edit1_, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    SendMessageA(edit1_, EM_LIMITTEXT, 0, 0);  // the platform's maximum
  }

  button1_ = MakeChild(instance, group2_, kIdButton1, 0, "BUTTON", "一键窗口化",
                       BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE | WS_TABSTOP, 248, 43,
                       80, 40);
  if (button1_ != nullptr) SetFont(button1_, f1_);

  looks_[1] = {this, f1_, kBlack, kOneLine, false};
  label2_ = MakeLabel(instance, group2_, kIdLabel2, "输入游戏主进程名", 16, 66, 227, 20,
                      &looks_[1]);
  looks_[2] = {this, f1_, kGrey, kOneLine, false};
  label4_ = MakeLabel(instance, group2_, kIdLabel4, "方法2：", 16, 89, 299, 20, &looks_[2]);
  looks_[3] = {this, f1_, kBlack, kOneLineCentred, false};
  label3_ = MakeLabel(instance, group2_, kIdLabel3, "使用鼠标选中需要设置的游戏窗口按下 [Home] 键",
                      14, 113, 315, 20, &looks_[3]);
  looks_[4] = {this, f1_, kGreen, kWrappedCentred, false};
  label6_ = MakeLabel(instance, group2_, kIdLabel6, "", 23, 139, 299, 45, &looks_[4]);
  looks_[5] = {this, f1_, kSkyBlue, kWrappedCentred, false};
  label8_ = MakeLabel(instance, group2_, kIdLabel8, "", 22, 194, 299, 20, &looks_[5]);

  looks_[6] = {this, f1_, kGrey, kWrapped, true};
  label1_ = MakeLabel(instance, main_, kIdLabel1, kTutorial, 13, 248, 347, 74, &looks_[6]);
  looks_[7] = {this, f2_, kGreen, kOneLineCentred, false};
  label7_ = MakeLabel(instance, main_, kIdLabel7, "状态", 111, 332, 152, 28, &looks_[7]);

  checkBox1_ = MakeChild(instance, main_, kIdCheckBox1, 0, "BUTTON", "置顶本窗口",
                         BS_AUTOCHECKBOX | BS_LEFT | BS_VCENTER | BS_MULTILINE | WS_TABSTOP, 16,
                         334, 88, 24);
  if (checkBox1_ != nullptr) {
    SetFont(checkBox1_, f1_);
    SendMessageA(checkBox1_, BM_SETCHECK, BST_CHECKED, 0);
  }

  link_.window = this;
  link_.hover = false;
  link1_ = MakeChild(instance, main_, kIdLink1, 0, kLinkClass, "联系作者", 0, 277, 334, 80, 24,
                     &link_);

  statusBar1_ = MakeChild(instance, main_, kIdStatusBar1, 0, STATUSCLASSNAMEA, "", 0, 0, 0, 0, 0);
  if (statusBar1_ != nullptr) {
    SetFont(statusBar1_, f1_);
    int edges[2] = {kStatusPanel1RightEdge, -1};
    SendMessageA(statusBar1_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    SendMessageA(statusBar1_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("  Taldoris"));
    SendMessageA(statusBar1_, SB_SETTEXTA, 1,
                 reinterpret_cast<LPARAM>(" 本插件完全免费,如果您是付费购买,证明您被骗了"));
  }

  for (HWND control : {label5_, edit1_, button1_, label2_, label4_, label3_, label6_, label8_,
                       label1_, label7_, checkBox1_, link1_, statusBar1_}) {
    if (control == nullptr) return false;
  }
  return true;
}

void MainWindow::LayStatusBar() {
  // The bar takes the height its font needs and lies along the bottom edge
  // of the client area at its full width.
  SendMessageA(statusBar1_, WM_SIZE, 0, 0);
  RECT client = {};
  RECT bar = {};
  GetClientRect(main_, &client);
  GetWindowRect(statusBar1_, &bar);
  const int height = bar.bottom - bar.top;
  MoveWindow(statusBar1_, 0, client.bottom - height, client.right, height, FALSE);
}

// --- the created event, showing --------------------------------------------------

void MainWindow::OnCreated() {
  SetAlwaysOnTop(true);
  SetShowInTaskbar(true);
  Hwnd owner = MainHandle();
  Hwnd receiver = Label1Handle();
  // The registration lasts as long as the process; a refusal is not reported.
  RegisterGlobalHotkey(ws_, owner, receiver, 0, kHomeKey);
}

void MainWindow::Show() {
  ShowWindow(main_, SW_SHOWNORMAL);
  SetForegroundWindow(main_);
  SetFocus(edit1_);
}

// --- what the logic sees ----------------------------------------------------------

void MainWindow::SetCaption6(const char* text) { SetWindowTextA(label6_, text ? text : ""); }
void MainWindow::SetCaption7(const char* text) { SetWindowTextA(label7_, text ? text : ""); }
void MainWindow::SetCaption8(const char* text) { SetWindowTextA(label8_, text ? text : ""); }

Text MainWindow::ReadEditText() { return WindowTitleText(ws_, FromHwnd(edit1_)); }

Hwnd MainWindow::MainHandle() { return FromHwnd(main_); }
Hwnd MainWindow::Label1Handle() { return FromHwnd(label1_); }

void MainWindow::SetAlwaysOnTop(bool value) {
  alwaysOnTop_ = value;
  ws_.SetTopmost(FromHwnd(main_), value);  // a refusal changes nothing else
}

void MainWindow::SetShowInTaskbar(bool value) {
  // Counts only when the window is made; the window is unowned from the start.
  showInTaskbar_ = value;
}

bool MainWindow::CheckBox1Checked() const {
  return SendMessageA(checkBox1_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// --- events -------------------------------------------------------------------------

bool MainWindow::PreTranslate(const Message& msg) {
  if (main_ == nullptr) return false;
  HWND target = ToHwnd(msg.hwnd);
  if (target == nullptr || (target != main_ && !IsChild(main_, target))) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && !KeyDown(VK_CONTROL) &&
      !KeyDown(VK_SHIFT) && !KeyDown(VK_MENU)) {
    // Closed exactly as by the close box, before any control sees the key.
    SendMessageA(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  }
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
    // Tab between the tab stops, Space on the focused button, as in a dialog.
    MSG platform = {};
    ToPlatformMessage(msg, &platform);
    return IsDialogMessageA(main_, &platform) != 0;
  }
  return false;
}

void MainWindow::OnCommand(int id, int code) {
  if (id == kIdButton1 && code == BN_CLICKED) {
    BorderlessByProcessName(ws_, *this);
  } else if (id == kIdCheckBox1 && code == BN_CLICKED) {
    SetAlwaysOnTop(CheckBox1Checked());
  }
}

void MainWindow::OnLabel1Feedback(WParam wParam, LParam lParam) {
  BorderlessByCursor(ws_, *this, static_cast<std::intptr_t>(wParam), lParam);
}

void MainWindow::OnLinkPressed() {
  Text command = ContactCommand();
  ws_.LaunchHidden(command);  // nothing is shown whether or not it starts
}

LRESULT MainWindow::ColourStatic(HDC dc) {
  SetTextColor(dc, kBlack);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CALLBACK MainWindow::MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  KeepCreateParam(hwnd, msg, lParam);
  MainWindow* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return self->HandleMain(hwnd, msg, wParam, lParam);
}

LRESULT MainWindow::HandleMain(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (lParam != 0) OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return ColourStatic(reinterpret_cast<HDC>(wParam));
    case WM_TIMER:
      if (wParam == kTimer1Id) {
        CursorProbe(ws_, *this);
        return 0;
      }
      break;
    case WM_SIZE:
      if (statusBar1_ != nullptr) SendMessageA(statusBar1_, WM_SIZE, wParam, lParam);
      break;
    case WM_DESTROY:
      // The will-be-destroyed event ends the process; the loop never returns.
      if (exitOnDestroy_) ExitProcess(0);
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK MainWindow::GroupBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = reinterpret_cast<MainWindow*>(
      GetWindowLongPtrA(GetParent(hwnd), GWLP_USERDATA));
  if (self == nullptr || self->groupBoxDefault_ == nullptr) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      // The controls inside the box report to MainWindow as if it were their
      // parent.
      return SendMessageA(self->main_, msg, wParam, lParam);
    case WM_ERASEBKGND: {
      RECT area = {};
      GetClientRect(hwnd, &area);
      FillWithFace(reinterpret_cast<HDC>(wParam), area);
      return 1;
    }
    default:
      return CallWindowProcA(self->groupBoxDefault_, hwnd, msg, wParam, lParam);
  }
}

LRESULT CALLBACK MainWindow::LabelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  KeepCreateParam(hwnd, msg, lParam);
  LabelLook* look = reinterpret_cast<LabelLook*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the paint fills the whole label
    case WM_SETTEXT:
      return SetTextAndRepaint(hwnd, wParam, lParam);
    case WM_PAINT: {
      if (look == nullptr || look->window == nullptr) {
        PaintCaption(hwnd, nullptr, nullptr, 0, 0);
        return 0;
      }
      HGDIOBJ font = look->font != nullptr ? look->font : GetStockObject(DEFAULT_GUI_FONT);
      const Text caption = WindowTitleText(look->window->ws_, FromHwnd(hwnd));
      // In its own colour, never greyed, disabled or not.
      PaintCaption(hwnd, caption.c_str(), font, look->colour, look->format);
      return 0;
    }
    default:
      if (msg == kFeedbackMessage && look != nullptr && look->feedback && look->window != nullptr) {
        // The feedback event has run before the sender's call returns.
        look->window->OnLabel1Feedback(wParam, lParam);
        return 0;
      }
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK MainWindow::LinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  KeepCreateParam(hwnd, msg, lParam);
  LinkState* state = reinterpret_cast<LinkState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_SETTEXT:
      return SetTextAndRepaint(hwnd, wParam, lParam);
    case WM_MOUSEMOVE:
      if (state != nullptr && !state->hover) {
        state->hover = true;
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = hwnd;
        TrackMouseEvent(&track);
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_MOUSELEAVE:
      if (state != nullptr && state->hover) {
        state->hover = false;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONDOWN:
      if (state != nullptr && state->window != nullptr) state->window->OnLinkPressed();
      return 0;
    case WM_PAINT: {
      if (state == nullptr || state->window == nullptr) {
        PaintCaption(hwnd, nullptr, nullptr, 0, 0);
        return 0;
      }
      const Text caption = WindowTitleText(state->window->ws_, FromHwnd(hwnd));
      PaintCaption(hwnd, caption.c_str(), state->window->f3_,
                   state->hover ? kLinkHoverBlue : kLinkBlue, kLinkFormat);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace taldoris
