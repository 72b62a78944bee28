// The demo product: one window that greets the user and tells where it runs
// from, so an installed copy is easy to recognise.
#include <windows.h>

namespace {

const char kClassName[] = "WrenlyDemoWindow";
char g_location[MAX_PATH + 32];

LRESULT CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      RECT r;
      GetClientRect(window, &r);
      SetBkMode(dc, TRANSPARENT);
      HFONT font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
      HGDIOBJ old = SelectObject(dc, font);
      RECT top = r;
      top.bottom = r.bottom / 2;
      DrawTextA(dc, "Hello from the Wrenly demo product.", -1, &top, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
      RECT bottom = r;
      bottom.top = r.bottom / 2 + 8;
      DrawTextA(dc, g_location, -1, &bottom, DT_CENTER | DT_TOP | DT_WORDBREAK);
      SelectObject(dc, old);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) lstrcpyA(path, "(unknown)");
  wsprintfA(g_location, "Running from %s", path);

  WNDCLASSA wc = {};
  wc.lpfnWndProc = DemoWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) return 1;
  HWND window = CreateWindowExA(0, kClassName, "Wrenly Demo", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 420,
                                200, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return (int)msg.wParam;
}
