// The page kinds whose behaviour is small: welcome, information, agreement,
// ready and closing; and the table that maps kinds to their procedures.
#include "base/display.h"
#include "base/setup.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "platform/files.h"
#include "text/error_text.h"
#include "text/messages.h"
#include "text/path_services.h"
#include "ui/closing_text.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

constexpr uint32_t kReadyTextSize = 1024;

// Every kind starts the same way; the kind's own steps follow.
void CommonInit(Setup& setup, HWND page, UINT message, WPARAM wParam, LPARAM lParam, uint32_t mask) {
  CommonPageProc(page, message, wParam, lParam);
  PreparePage(setup, page, mask);
}

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(page, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  if (message != WM_INITDIALOG) return CommonPageProc(page, message, wParam, lParam);
  CommonInit(setup, page, message, wParam, lParam, kButtonNext | kButtonCancel);
  FocusButton(setup, wf::kIdNext);
  return FALSE;
}

INT_PTR CALLBACK InformationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(page, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  if (message != WM_INITDIALOG) return CommonPageProc(page, message, wParam, lParam);
  CommonInit(setup, page, message, wParam, lParam, kButtonBack | kButtonNext | kButtonCancel);
  const char* next = GetMessageText(setup, wf::kPageInformation, wf::msg::kInformationNextCaption);
  if (*next) SetWindowTextA(GetDlgItem(setup.wizard->buttonBar, wf::kIdNext), next);
  FocusButton(setup, wf::kIdNext);
  return FALSE;
}

INT_PTR CALLBACK AgreementPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(page, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  if (message == WM_INITDIALOG) {
    CommonInit(setup, page, message, wParam, lParam, kButtonBack | kButtonCancel);
    CheckRadioButton(page, wf::kIdText2, wf::kIdText3, wf::kIdText3);
    FocusButton(setup, wf::kIdCancel);
    return FALSE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == wf::kIdText2 || LOWORD(wParam) == wf::kIdText3)) {
    EnableWindow(GetDlgItem(setup.wizard->buttonBar, wf::kIdNext), LOWORD(wParam) == wf::kIdText2);
    return 0;
  }
  return CommonPageProc(page, message, wParam, lParam);
}

INT_PTR CALLBACK ReadyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(page, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  if (message == WM_INITDIALOG) {
    CommonInit(setup, page, message, wParam, lParam, kButtonBack | kButtonNext | kButtonCancel);
    char* text = nullptr;
    if (AllocBuffer(kReadyTextSize, &text)) {
      StripBackslash(setup.installFolder);
      FormatBounded(text, kReadyTextSize, GetMessageText(setup, wf::kPageReady, wf::msg::kReadySummary),
                    setup.installFolder, false, 0);
      AppendBackslash(setup.installFolder);
      SetControlMarkup(setup, page, wf::kIdText1, text);
      FreeBuffer(&text);
    }
    SetButtonCaption(setup, kButtonNext, wf::msg::kButtonInstall);
    FocusButton(setup, wf::kIdNext);
    return FALSE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == wf::kIdNext && setup.run.readOnlyTarget) {
    const char* question = GetMessageText(setup, wf::msg::kListMessages, wf::msg::kReadOnlyTargets);
    if (*question && AskUser(setup, question, kMessageYesNoQuestion, kAnswerNo) != kAnswerYes)
      return MarkCommandHandled(page);
  }
  return CommonPageProc(page, message, wParam, lParam);
}

INT_PTR CALLBACK ClosingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(page, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  if (message != WM_INITDIALOG) return CommonPageProc(page, message, wParam, lParam);
  CommonInit(setup, page, message, wParam, lParam, kButtonCancel | kCancelWithoutQuestion);
  SetControlMarkup(setup, page, wf::kIdClosingText, kClosingText);
  FocusButton(setup, wf::kIdCancel);
  return FALSE;
}

}  // namespace

DLGPROC PageProcedure(int kind) {
  switch (kind) {
    case wf::kPageWelcome: return WelcomePageProc;
    case wf::kPageInformation: return InformationPageProc;
    case wf::kPageAgreement: return AgreementPageProc;
    case wf::kPageDestination: return DestinationPageProc;
    case wf::kPageReady: return ReadyPageProc;
    case wf::kPageProgress: return ProgressPageProc;
    case wf::kPageFinish: return FinishPageProc;
    case wf::kPageClosing: return ClosingPageProc;
    default: return nullptr;
  }
}
