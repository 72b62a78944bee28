#include <windows.h>

#include "base/display.h"
#include "install/install_run.h"
#include "ui/main_window.h"
#include "ui/wizard.h"

// Empties the queue without waiting; long operations call it between steps.
// Each message is taken as it is found. Looking first and fetching after
// (GetMessageA) can block for good: the message seen, a paint above all,
// may be gone by the time it is fetched, because fetching runs the messages
// other threads sent first, and those may paint the window. A command sent
// meanwhile (an accessibility tool's click) would then wait for the next
// mouse move.
void PumpMessages(Setup& setup) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      setup.pageResult = kPageResultCancel;
      continue;
    }
    HWND dialogs[] = {setup.wizard->wizardFrame, setup.wizard->currentPage, setup.wizard->buttonBar,
                      setup.wizard->headerPanel, setup.wizard->sidePanel};
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
