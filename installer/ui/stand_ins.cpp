#include "ui/main_window.h"

// Stand-in: the background window with its WizardFrame replaces this.
int CreateMainWindow() { return 1; }

// Stand-in: the wizard driver and its pages replace this.
void RunWizard() {}

// Stand-in: the restart question's dialog procedure replaces this; until
// then the question is answered "later".
INT_PTR CALLBACK RestartDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    EndDialog(dialog, 2);
    return TRUE;
  }
  return FALSE;
}
