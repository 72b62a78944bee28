// The wizard's driver: the walk over the page sequence and the loop that
// runs while one page is shown.
#include <string.h>

#include "base/display.h"
#include "base/setup.h"
#include "format/install_type.h"
#include "install/install_run.h"
#include "platform/files.h"
#include "text/messages.h"
#include "ui/layout_geometry.h"
#include "ui/main_window.h"
#include "ui/page_walk_package.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

// The header's title is bold unless it brings markup of its own.
void SetHeaderTitle(Setup& setup, HWND control, const char* title) {
  if (*title == '<') {
    SetMarkupText(setup, control, title);
    return;
  }
  uint32_t n = (uint32_t)strlen(title);
  char* bold = nullptr;
  if (!AllocBuffer(n + 8, &bold)) return;
  memcpy(bold, "<b>", 3);
  memcpy(bold + 3, title, n);
  memcpy(bold + 3 + n, "</b>", 5);
  SetMarkupText(setup, control, bold);
  FreeBuffer(&bold);
}

void ShowHeader(Setup& setup, const LayoutView& l, const PagePanels& panels) {
  DeleteObject(setup.wizard->headerBrush);
  setup.wizard->headerBrush = nullptr;
  DestroyChildren(setup.wizard->headerPanel);
  if (!panels.headerShown) {
    ShowWindow(setup.wizard->headerPanel, SW_HIDE);
    return;
  }
  setup.wizard->headerBrush = MakeBrush(l.headerColour, COLOR_BTNFACE);
  CreateControls(setup, setup.wizard->headerPanel, l.headerCount, l.headerRecords, l.headerColour, wf::kSystemColour);
  int kind = setup.wizard->currentPageKind;
  SetHeaderTitle(setup, GetDlgItem(setup.wizard->headerPanel, wf::kIdHeaderTitle),
                 GetMessageText(setup, kind, wf::msg::kPageTitle));
  SetMarkupText(setup, GetDlgItem(setup.wizard->headerPanel, wf::kIdHeaderSubtitle),
                GetMessageText(setup, kind, wf::msg::kPageSubtitle));
  const UiRect& r = panels.header;
  SetWindowPos(setup.wizard->headerPanel, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
  ShowWindow(setup.wizard->headerPanel, SW_SHOW);
  UpdateWindow(setup.wizard->headerPanel);
}

void ShowSide(Setup& setup, const LayoutView& l, const PagePanels& panels) {
  DeleteObject(setup.wizard->sideBrush);
  setup.wizard->sideBrush = nullptr;
  if (!panels.sideShown) {
    ShowWindow(setup.wizard->sidePanel, SW_HIDE);
    return;
  }
  setup.wizard->sideBrush = MakeBrush(l.sideColour, COLOR_BTNFACE);
  const UiRect& r = panels.side;
  SetWindowPos(setup.wizard->sidePanel, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
  ShowWindow(setup.wizard->sidePanel, SW_SHOW);
  UpdateWindow(setup.wizard->sidePanel);
}

// One pass of the page loop while the installation runs: the next entry,
// and the completion step after the last.
void InstallSlice(Setup& setup) {
  if (!setup.run.running) return;
  if (!InstallNextEntry(setup)) EndInstallation(setup);
}

int ShowPageOfKind(void* context, int kind) {
  Setup& setup = *(Setup*)context;
  DLGPROC procedure = PageProcedure(kind);
  return procedure ? ShowPage(setup, procedure) : kPageResultCancel;
}

void InstallHeadless(void* context) { RunInstallationHeadless(*(Setup*)context); }
int CurrentResultCode(void* context) { return ((Setup*)context)->resultCode; }

}  // namespace

int ShowPage(Setup& setup, DLGPROC procedure) {
  LayoutView l{};
  CurrentLayout(setup, &l);
  const WizardSettings& s = Settings(setup);
  PagePanels panels = PlacePanels(WizardSize{s.width, s.height, s.buttonBarHeight}, l.sideWidth, l.headerHeight);
  ShowHeader(setup, l, panels);
  ShowSide(setup, l, panels);
  if (IsWindowVisible(setup.wizard->headerPanel)) InvalidateRect(setup.wizard->headerPanel, nullptr, TRUE);

  setup.pageResult = 0;
  HWND page = CreateDialogParamA(setup.wizard->instance, MAKEINTRESOURCEA(kTemplateChild), setup.wizard->wizardFrame,
                                 procedure, (LPARAM)&setup);
  if (!page) return kPageResultCancel;
  while (setup.pageResult == 0) {
    PumpMessages(setup);
    if (setup.pageResult) break;
    if (setup.run.running) {
      InstallSlice(setup);
    } else {
      // Nothing to install: sleep until the user or the system has something
      // to say, rather than spinning a core. Messages sent from other
      // threads wake the wait too, so a result they set is seen at once.
      MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
    }
  }
  DestroyWindow(page);
  return setup.pageResult ? setup.pageResult : kPageResultCancel;
}

void RunWizard(Setup& setup) {
  WizardWalk walk = CurrentWizardWalk(setup);
  WizardWalkHooks hooks{&setup, ShowPageOfKind, InstallHeadless, CurrentResultCode};
  WalkPageSequence(walk, hooks, &setup.pageIndex, &setup.wizard->currentPageKind);
}
