// The ProgressPage: starts the installation that the page loop then drives.
#include "base/setup.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "package/data_area.h"
#include "ui/page_walk.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(page, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  if (message == WM_INITDIALOG) {
    CommonPageProc(page, message, wParam, lParam);
    // Nobody is asked in a quiet run, so there is no Stop to ask about.
    PreparePage(setup, page, setup.options.quiet ? 0u : (uint32_t)kButtonCancel);
    BindProgressDisplay(setup, page);
    SetButtonCaption(setup, kButtonCancel, wf::msg::kButtonStop);
    FocusButton(setup, wf::kIdCancel);
    if (setup.singlePageMode) return FALSE;
    // A run that cannot start goes straight on to the FinishPage, which says why.
    if (!StartInstallation(setup)) setup.pageResult = kPageResultNext;
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == wf::kIdCancel && !setup.singlePageMode) {
    if (ConfirmAndInform(setup, wf::msg::kStopPartialInstall, wf::msg::kCancelled)) {
      setup.pageResult = kPageResultCancel;
      CloseDataArea(setup);
      setup.userCancelled = true;
    }
    return MarkCommandHandled(page);
  }
  return CommonPageProc(page, message, wParam, lParam);
}
