// The ProgressPage: starts the installation that the page loop then drives.
#include "format/install_type.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "startup/run_state.h"
#include "ui/page_walk.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    CommonPageProc(page, message, wParam, lParam);
    PreparePage(page, kButtonCancel);
    BindProgressDisplay(page);
    SetButtonCaption(kButtonCancel, wf::msg::kButtonStop);
    FocusButton(wf::kIdCancel);
    if (SinglePageMode) return FALSE;
    // A run that cannot start goes straight on to the FinishPage, which says why.
    if (!StartInstallation()) PageResult = kPageResultNext;
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == wf::kIdCancel && !SinglePageMode) {
    if (ConfirmAndInform(wf::msg::kStopPartialInstall, wf::msg::kCancelled)) {
      PageResult = kPageResultCancel;
      CloseDataArea();
      UserCancelled = true;
    }
    return MarkCommandHandled(page);
  }
  return CommonPageProc(page, message, wParam, lParam);
}
