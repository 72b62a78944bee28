// The background window: the Installer's one top-level window and the owner
// of the wizard.
#include "ui/main_window.h"

#include "format/install_type.h"
#include "install/install_run.h"
#include "startup/instance.h"
#include "text/messages.h"
#include "ui/layout_geometry.h"
#include "ui/page_walk.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

HWND MainWindow;
HWND WizardFrame;

namespace {
constexpr DWORD kFramedStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kBareStyle = WS_POPUP | WS_CLIPCHILDREN;
constexpr DWORD kWindowedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
}  // namespace

int RegisterMainWindowClass() {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = Instance;
  wc.hIcon = LoadIconA(Instance, MAKEINTRESOURCEA(kIconResource));
  wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(NULL_BRUSH);
  wc.lpszClassName = kMainWindowClass;
  return RegisterClassA(&wc);
}

int CreateMainWindow() {
  const WizardSettings& s = Settings();
  bool background = BackgroundMode();
  DWORD style;
  int x = 0, y = 0, w = ScreenWidth, h = ScreenHeight;
  if (background) {
    style = (s.flags & wf::kSetFramedBackground) ? kFramedStyle : kBareStyle;
    if (s.flags & wf::kSetMaximised) style |= WS_MAXIMIZE;
  } else {
    style = kWindowedStyle;
    RECT outer{0, 0, s.width, s.height};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    w = outer.right - outer.left;
    h = outer.bottom - outer.top;
    x = CentreOnScreen(ScreenWidth, w);
    y = CentreOnScreen(ScreenHeight, h);
  }
  MainWindow = CreateWindowExA(0, kMainWindowClass, GetMessageText(wf::msg::kListMessages, wf::msg::kCaption),
                               style, x, y, w, h, nullptr, nullptr, Instance, nullptr);
  if (!MainWindow) return 0;
  HalfScreenWidth = ScreenWidth / 2;
  HalfScreenHeight = ScreenHeight / 2;
  int frameTemplate = background ? kTemplateFramePopup : kTemplateChild;
  if (!CreateDialogParamA(Instance, MAKEINTRESOURCEA(frameTemplate), MainWindow, WizardFrameProc, 0)) {
    DestroyWindow(MainWindow);
    MainWindow = nullptr;
    return 0;
  }
  ShowWindow(MainWindow, SW_SHOWNORMAL);
  UpdateWindow(MainWindow);
  return 1;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      if (!BackgroundMode() || IsIconic(window)) break;
      PaintBackground(window);
      if (WizardFrame) RedrawWindow(WizardFrame, nullptr, nullptr, RDW_FRAME);
      return 0;
    case WM_ACTIVATEAPP:
      if (WizardFrame) PostMessageA(WizardFrame, WM_NCACTIVATE, wParam, 0);
      break;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MAXIMIZE:
        case SC_RESTORE:
          ShowWindow(WizardFrame, SW_SHOWNORMAL);
          break;
        case SC_CLOSE:
          // Closing acts exactly as Cancel on the current page, question included.
          if (ButtonBar) PostMessageA(ButtonBar, WM_COMMAND, IDCANCEL, 0);
          else PageResult = kPageResultCancel;
          return 0;
      }
      break;
    case WM_NCDESTROY:
      PostQuitMessage(0);
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
