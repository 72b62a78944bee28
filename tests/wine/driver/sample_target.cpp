// A stand-in program under test for the harness's own checks: it either
// exits with a given code, shows one message box and exits with the button
// that closed it (IDOK 1, IDCANCEL 2, ...), or shows a small form with the
// kinds of controls the wizard has.
//   sample-target exit N
//   sample-target box CAPTION TEXT [okcancel|yesno]
//   sample-target form
//   sample-target busy SECONDS    (keeps one core busy, then exits 0)
#include <windows.h>
#include <stdlib.h>
#include <string.h>

namespace {

// The form plays a wizard page: "Next" stays disabled until the first radio
// button is chosen and then starts a counted progress; "Done" exits with
// 40 + 1 when the check box is ticked + 2 when the edit box last reported
// C:\x through EN_CHANGE (read there, as the Installer does); "Ask" asks in
// a message box and exits with 60 on Yes; closing the window exits with 50.
enum FormId {
  kNext = 1,
  kDone = 2,
  kAsk = 3,
  kRichLabel = 1000,
  kTypical = 1002,
  kCustom = 1003,
  kFolder = 1004,
  kStepText = 1008,
  kPercent = 1010,
  kExtras = 1015,
};

char g_folder[MAX_PATH];
int g_percent;

void Control(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
             int id) {
  CreateWindowExA(0, cls, text, WS_CHILD | style, x, y, w, h, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                  nullptr);
}

void CreateForm(HWND w) {
  LoadLibraryA("riched20.dll");
  Control(w, "RichEdit20A", "Line one\r\nLine two", WS_VISIBLE | ES_MULTILINE | ES_READONLY, 10, 10,
          300, 40, kRichLabel);
  Control(w, "Edit", "", WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 60, 300, 22, kFolder);
  Control(w, "Button", "Typical", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 10, 90, 140, 20,
          kTypical);
  Control(w, "Button", "Custom", WS_VISIBLE | BS_AUTORADIOBUTTON, 160, 90, 140, 20, kCustom);
  Control(w, "Button", "Extras", WS_VISIBLE | WS_GROUP | BS_AUTOCHECKBOX, 10, 115, 140, 20, kExtras);
  Control(w, "Static", "Copying", 0, 10, 140, 140, 20, kStepText);
  Control(w, "Static", "0%", 0, 160, 140, 140, 20, kPercent);
  Control(w, "Button", "Next", WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, 10, 170, 90, 26, kNext);
  Control(w, "Button", "Done", WS_VISIBLE | BS_PUSHBUTTON, 110, 170, 90, 26, kDone);
  Control(w, "Button", "Ask", WS_VISIBLE | BS_PUSHBUTTON, 210, 170, 90, 26, kAsk);
}

void FormCommand(HWND w, int id, int code, HWND from) {
  if (code == EN_CHANGE && id == kFolder) GetWindowTextA(from, g_folder, sizeof g_folder);
  if (code != BN_CLICKED) return;
  switch (id) {
    case kTypical:
    case kCustom:
      EnableWindow(GetDlgItem(w, kNext), IsDlgButtonChecked(w, kTypical) == BST_CHECKED);
      break;
    case kNext:
      ShowWindow(GetDlgItem(w, kStepText), SW_SHOW);
      ShowWindow(GetDlgItem(w, kPercent), SW_SHOW);
      SetTimer(w, 1, 100, nullptr);
      break;
    case kDone:
      PostQuitMessage(40 + (IsDlgButtonChecked(w, kExtras) == BST_CHECKED ? 1 : 0) +
                      (strcmp(g_folder, "C:\\x") == 0 ? 2 : 0));
      break;
    case kAsk:
      if (MessageBoxA(w, "Sure?", "Ask", MB_YESNO) == IDYES) PostQuitMessage(60);
      break;
  }
}

LRESULT CALLBACK FormProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      CreateForm(w);
      return 0;
    case WM_COMMAND:
      FormCommand(w, LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_TIMER: {
      g_percent += 25;
      char text[8];
      wsprintfA(text, "%d%%", g_percent);
      SetDlgItemTextA(w, kPercent, text);
      if (g_percent >= 100) KillTimer(w, 1);
      return 0;
    }
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_CLOSE) {
        PostQuitMessage(50);
        return 0;
      }
      break;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

// The window class is the Installer's, so steps that look for its main
// window find this one.
int RunForm() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = FormProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "WrenlyClass";
  RegisterClassA(&wc);
  CreateWindowExA(0, "WrenlyClass", "Sample form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 340,
                  250, nullptr, nullptr, wc.hInstance, nullptr);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return static_cast<int>(m.wParam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && strcmp(argv[1], "exit") == 0) return atoi(argv[2]);
  if (argc >= 4 && strcmp(argv[1], "box") == 0) {
    UINT type = MB_OK | MB_ICONINFORMATION;
    if (argc >= 5 && strcmp(argv[4], "okcancel") == 0) type = MB_OKCANCEL;
    if (argc >= 5 && strcmp(argv[4], "yesno") == 0) type = MB_YESNO | MB_ICONQUESTION;
    return MessageBoxA(nullptr, argv[3], argv[2], type);
  }
  if (argc >= 2 && strcmp(argv[1], "form") == 0) return RunForm();
  if (argc >= 3 && strcmp(argv[1], "busy") == 0) {
    DWORD end = GetTickCount() + static_cast<DWORD>(atof(argv[2]) * 1000.0);
    volatile unsigned spin = 0;
    while (static_cast<LONG>(GetTickCount() - end) < 0) ++spin;
    return 0;
  }
  return 254;
}
