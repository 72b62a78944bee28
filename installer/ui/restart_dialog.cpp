// The question after the wizard when a restart completes the installation.
#include "format/install_type.h"
#include "text/messages.h"
#include "ui/main_window.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {
constexpr int kQuestionText = 1000;
}  // namespace

INT_PTR CALLBACK RestartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetChildrenFont(dialog, DialogFont);
      SetWindowTextA(dialog, GetMessageText(wf::msg::kListMessages, wf::msg::kCaption));
      SetDlgItemTextA(dialog, IDOK, GetMessageText(wf::msg::kListButtons, wf::msg::kButtonRestartNow));
      SetDlgItemTextA(dialog, IDCANCEL, GetMessageText(wf::msg::kListButtons, wf::msg::kButtonCancel));
      SetMarkupText(GetDlgItem(dialog, kQuestionText),
                    GetMessageText(wf::kPageFinish, wf::msg::kFinishRestartQuestion));
      return TRUE;
    case WM_COMMAND:
      // The close box and Escape arrive as IDCANCEL: later.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      break;
  }
  return HandleLinkNotify(dialog, message, wParam, lParam);
}
