#include "ui/main_window.h"

#include "startup/instance.h"

HWND MainWindow;
HWND WizardFrame;

int RegisterMainWindowClass() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = Instance;
  wc.hIcon = LoadIconA(Instance, MAKEINTRESOURCEA(kIconResource));
  wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(NULL_BRUSH);
  wc.lpszClassName = kMainWindowClass;
  return RegisterClassA(&wc) != 0;
}

// Stand-in: the background window's painting and sizing replace this; its
// destruction already ends the message loop that waits for it.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
