#include "ui/pump_messages.h"

#include <windows.h>

#include "install/install_run.h"
#include "ui/main_window.h"
#include "ui/wizard.h"

// Empties the queue without waiting; long operations call it between steps.
void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (!GetMessageA(&msg, nullptr, 0, 0)) {
      PageResult = 2;
      continue;
    }
    HWND dialogs[] = {WizardFrame, CurrentPage, ButtonBar, HeaderPanel, SidePanel};
    bool handled = false;
    for (HWND d : dialogs)
      if (d && IsDialogMessageA(d, &msg)) {
        handled = true;
        break;
      }
    if (handled) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}
