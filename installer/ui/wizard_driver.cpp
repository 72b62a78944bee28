// The wizard's driver: the walk over the page sequence and the loop that
// runs while one page is shown.
#include <string.h>

#include "format/install_type.h"
#include "install/install_run.h"
#include "platform/files.h"
#include "startup/instance.h"
#include "startup/run_state.h"
#include "text/messages.h"
#include "ui/layout_geometry.h"
#include "ui/main_window.h"
#include "ui/page_walk_package.h"
#include "ui/pump_messages.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

// The header's title is bold unless it brings markup of its own.
void SetHeaderTitle(HWND control, const char* title) {
  if (*title == '<') {
    SetMarkupText(control, title);
    return;
  }
  uint32_t n = (uint32_t)strlen(title);
  char* bold = nullptr;
  if (!AllocBuffer(n + 8, &bold)) return;
  memcpy(bold, "<b>", 3);
  memcpy(bold + 3, title, n);
  memcpy(bold + 3 + n, "</b>", 5);
  SetMarkupText(control, bold);
  FreeBuffer(&bold);
}

void ShowHeader(const LayoutView& l, const PagePanels& panels) {
  DeleteObject(HeaderBrush);
  HeaderBrush = nullptr;
  DestroyChildren(HeaderPanel);
  if (!panels.headerShown) {
    ShowWindow(HeaderPanel, SW_HIDE);
    return;
  }
  HeaderBrush = MakeBrush(l.headerColour, COLOR_BTNFACE);
  CreateControls(HeaderPanel, l.headerCount, l.headerRecords, l.headerColour, wf::kSystemColour);
  int kind = CurrentPageKind;
  SetHeaderTitle(GetDlgItem(HeaderPanel, wf::kIdHeaderTitle), GetMessageText(kind, wf::msg::kPageTitle));
  SetMarkupText(GetDlgItem(HeaderPanel, wf::kIdHeaderSubtitle), GetMessageText(kind, wf::msg::kPageSubtitle));
  const UiRect& r = panels.header;
  SetWindowPos(HeaderPanel, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
  ShowWindow(HeaderPanel, SW_SHOW);
  UpdateWindow(HeaderPanel);
}

void ShowSide(const LayoutView& l, const PagePanels& panels) {
  DeleteObject(SideBrush);
  SideBrush = nullptr;
  if (!panels.sideShown) {
    ShowWindow(SidePanel, SW_HIDE);
    return;
  }
  SideBrush = MakeBrush(l.sideColour, COLOR_BTNFACE);
  const UiRect& r = panels.side;
  SetWindowPos(SidePanel, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
  ShowWindow(SidePanel, SW_SHOW);
  UpdateWindow(SidePanel);
}

// One pass of the page loop while the installation runs: the next entry,
// and the completion step after the last.
void InstallSlice() {
  if (!Run.running) return;
  if (!InstallNextEntry()) FinishInstallation();
}

int ShowPageOfKind(void*, int kind) {
  DLGPROC procedure = PageProcedure(kind);
  return procedure ? ShowPage(procedure) : kPageResultCancel;
}

void InstallHeadless(void*) { RunInstallationHeadless(); }
int CurrentResultCode(void*) { return ResultCode; }

}  // namespace

int ShowPage(DLGPROC procedure) {
  LayoutView l{};
  CurrentLayout(&l);
  const WizardSettings& s = Settings();
  PagePanels panels = PlacePanels(WizardSize{s.width, s.height, s.buttonBarHeight}, l.sideWidth, l.headerHeight);
  ShowHeader(l, panels);
  ShowSide(l, panels);
  if (IsWindowVisible(HeaderPanel)) InvalidateRect(HeaderPanel, nullptr, TRUE);

  PageResult = 0;
  HWND page = CreateDialogParamA(Instance, MAKEINTRESOURCEA(kTemplateChild), WizardFrame, procedure, 0);
  if (!page) return kPageResultCancel;
  while (PageResult == 0) {
    PumpMessages();
    if (PageResult) break;
    if (Run.running) {
      InstallSlice();
    } else {
      // Nothing to install: sleep until the user or the system has something
      // to say, rather than spinning a core. Messages sent from other
      // threads wake the wait too, so a result they set is seen at once.
      MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
    }
  }
  DestroyWindow(page);
  return PageResult ? PageResult : kPageResultCancel;
}

void RunWizard() {
  WizardWalk walk = CurrentWizardWalk();
  WizardWalkHooks hooks{nullptr, ShowPageOfKind, InstallHeadless, CurrentResultCode};
  WalkPageSequence(walk, hooks, &PageIndex, &CurrentPageKind);
}
