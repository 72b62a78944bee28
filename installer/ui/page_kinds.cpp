// The page kinds whose behaviour is small: welcome, information, agreement,
// ready and closing; and the table that maps kinds to their procedures.
#include "format/install_type.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "platform/files.h"
#include "startup/run_state.h"
#include "text/error_text.h"
#include "text/messages.h"
#include "text/path_services.h"
#include "ui/closing_text.h"
#include "ui/show_message.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

constexpr uint32_t kReadyTextSize = 1024;

// Every kind starts the same way; the kind's own steps follow.
void CommonInit(HWND page, UINT message, WPARAM wParam, LPARAM lParam, uint32_t mask) {
  CommonPageProc(page, message, wParam, lParam);
  PreparePage(page, mask);
}

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG) return CommonPageProc(page, message, wParam, lParam);
  CommonInit(page, message, wParam, lParam, kButtonNext | kButtonCancel);
  FocusButton(wf::kIdNext);
  return FALSE;
}

INT_PTR CALLBACK InformationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG) return CommonPageProc(page, message, wParam, lParam);
  CommonInit(page, message, wParam, lParam, kButtonBack | kButtonNext | kButtonCancel);
  const char* next = GetMessageText(wf::kPageInformation, wf::msg::kInformationNextCaption);
  if (*next) SetWindowTextA(GetDlgItem(ButtonBar, wf::kIdNext), next);
  FocusButton(wf::kIdNext);
  return FALSE;
}

INT_PTR CALLBACK AgreementPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    CommonInit(page, message, wParam, lParam, kButtonBack | kButtonCancel);
    CheckRadioButton(page, wf::kIdText2, wf::kIdText3, wf::kIdText3);
    FocusButton(wf::kIdCancel);
    return FALSE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == wf::kIdText2 || LOWORD(wParam) == wf::kIdText3)) {
    EnableWindow(GetDlgItem(ButtonBar, wf::kIdNext), LOWORD(wParam) == wf::kIdText2);
    return 0;
  }
  return CommonPageProc(page, message, wParam, lParam);
}

INT_PTR CALLBACK ReadyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    CommonInit(page, message, wParam, lParam, kButtonBack | kButtonNext | kButtonCancel);
    char* text = nullptr;
    if (AllocBuffer(kReadyTextSize, &text)) {
      StripBackslash(InstallFolder);
      FormatBounded(text, kReadyTextSize, GetMessageText(wf::kPageReady, wf::msg::kReadySummary), InstallFolder,
                    false, 0);
      AppendBackslash(InstallFolder);
      SetControlMarkup(page, wf::kIdText1, text);
      FreeBuffer(&text);
    }
    SetButtonCaption(kButtonNext, wf::msg::kButtonInstall);
    FocusButton(wf::kIdNext);
    return FALSE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == wf::kIdNext && Run.readOnlyTarget) {
    const char* question = GetMessageText(wf::msg::kListMessages, wf::msg::kReadOnlyTargets);
    if (*question && ShowMessage(question, kMessageYesNoQuestion) != kAnswerYes) return MarkCommandHandled(page);
  }
  return CommonPageProc(page, message, wParam, lParam);
}

INT_PTR CALLBACK ClosingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG) return CommonPageProc(page, message, wParam, lParam);
  CommonInit(page, message, wParam, lParam, kButtonCancel | kCancelWithoutQuestion);
  SetControlMarkup(page, wf::kIdClosingText, kClosingText);
  FocusButton(wf::kIdCancel);
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
