// The background window: the Installer's one top-level window and the owner
// of the wizard.
#include "ui/main_window.h"

#include "base/setup.h"
#include "format/install_type.h"
#include "install/install_run.h"
#include "text/messages.h"
#include "ui/layout_geometry.h"
#include "ui/page_walk.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {
constexpr DWORD kFramedStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kBareStyle = WS_POPUP | WS_CLIPCHILDREN;
constexpr DWORD kWindowedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
}  // namespace

int RegisterMainWindowClass(Setup& setup) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = setup.wizard->instance;
  wc.hIcon = LoadIconA(setup.wizard->instance, MAKEINTRESOURCEA(kIconResource));
  wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(NULL_BRUSH);
  wc.lpszClassName = kMainWindowClass;
  return RegisterClassA(&wc);
}

int CreateMainWindow(Setup& setup) {
  const WizardSettings& s = Settings(setup);
  bool background = BackgroundMode(setup);
  DWORD style;
  int x = 0, y = 0, w = setup.wizard->screenWidth, h = setup.wizard->screenHeight;
  if (background) {
    style = (s.flags & wf::kSetFramedBackground) ? kFramedStyle : kBareStyle;
    if (s.flags & wf::kSetMaximised) style |= WS_MAXIMIZE;
  } else {
    style = kWindowedStyle;
    RECT outer{0, 0, s.width, s.height};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    w = outer.right - outer.left;
    h = outer.bottom - outer.top;
    x = CentreOnScreen(setup.wizard->screenWidth, w);
    y = CentreOnScreen(setup.wizard->screenHeight, h);
  }
  setup.wizard->mainWindow =
      CreateWindowExA(0, kMainWindowClass, GetMessageText(setup, wf::msg::kListMessages, wf::msg::kCaption), style, x,
                      y, w, h, nullptr, nullptr, setup.wizard->instance, &setup);
  if (!setup.wizard->mainWindow) return 0;
  setup.wizard->halfScreenWidth = setup.wizard->screenWidth / 2;
  setup.wizard->halfScreenHeight = setup.wizard->screenHeight / 2;
  int frameTemplate = background ? kTemplateFramePopup : kTemplateChild;
  if (!CreateDialogParamA(setup.wizard->instance, MAKEINTRESOURCEA(frameTemplate), setup.wizard->mainWindow,
                          WizardFrameProc, (LPARAM)&setup)) {
    DestroyWindow(setup.wizard->mainWindow);
    setup.wizard->mainWindow = nullptr;
    return 0;
  }
  ShowWindow(setup.wizard->mainWindow, SW_SHOWNORMAL);
  UpdateWindow(setup.wizard->mainWindow);
  return 1;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)((const CREATESTRUCTA*)lParam)->lpCreateParams);
  auto* state = (Setup*)GetWindowLongPtrA(window, GWLP_USERDATA);
  if (!state) return DefWindowProcA(window, message, wParam, lParam);
  Setup& setup = *state;
  switch (message) {
    case WM_PAINT:
      if (!BackgroundMode(setup) || IsIconic(window)) break;
      PaintBackground(setup, window);
      if (setup.wizard->wizardFrame) RedrawWindow(setup.wizard->wizardFrame, nullptr, nullptr, RDW_FRAME);
      return 0;
    case WM_ACTIVATEAPP:
      if (setup.wizard->wizardFrame) PostMessageA(setup.wizard->wizardFrame, WM_NCACTIVATE, wParam, 0);
      break;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MAXIMIZE:
        case SC_RESTORE: ShowWindow(setup.wizard->wizardFrame, SW_SHOWNORMAL); break;
        case SC_CLOSE:
          // Closing acts exactly as Cancel on the current page, question included.
          if (setup.wizard->buttonBar) PostMessageA(setup.wizard->buttonBar, WM_COMMAND, IDCANCEL, 0);
          else setup.pageResult = kPageResultCancel;
          return 0;
      }
      break;
    case WM_NCDESTROY: PostQuitMessage(0); break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
