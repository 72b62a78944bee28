// The question after the wizard when a restart completes the installation.
#include "base/setup.h"
#include "format/install_type.h"
#include "text/messages.h"
#include "ui/main_window.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {
constexpr int kQuestionText = 1000;
}  // namespace

INT_PTR CALLBACK RestartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(dialog, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  switch (message) {
    case WM_INITDIALOG:
      SetChildrenFont(dialog, setup.wizard->dialogFont);
      SetWindowTextA(dialog, GetMessageText(setup, wf::msg::kListMessages, wf::msg::kCaption));
      SetDlgItemTextA(dialog, IDOK, GetMessageText(setup, wf::msg::kListButtons, wf::msg::kButtonRestartNow));
      SetDlgItemTextA(dialog, IDCANCEL, GetMessageText(setup, wf::msg::kListButtons, wf::msg::kButtonCancel));
      SetMarkupText(setup, GetDlgItem(dialog, kQuestionText),
                    GetMessageText(setup, wf::kPageFinish, wf::msg::kFinishRestartQuestion));
      return TRUE;
    case WM_COMMAND:
      // The close box and Escape arrive as IDCANCEL: later.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      break;
  }
  return HandleLinkNotify(setup, dialog, message, wParam, lParam);
}
