// The ButtonBar's commands, the set-up every page shares, and the wizard's
// questions.
#include <string.h>

#include "format/install_type.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "package/package_model.h"
#include "platform/files.h"
#include "startup/run_state.h"
#include "text/link_store.h"
#include "text/messages.h"
#include "ui/main_window.h"
#include "ui/page_walk.h"
#include "ui/show_message.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

constexpr uint32_t kCaptionBufferSize = 1024;

uint32_t MoreOptions() {
  const InstallTypeSlot* type = ThePackage.currentType;
  if (!type || type->recordSize < wf::install_type::kMoreOptions + 4) return 0;
  return wf::LoadU32(type->record + wf::install_type::kMoreOptions);
}

const char* MessageText(uint16_t item) { return GetMessageText(wf::msg::kListMessages, item); }

void SetCaptions(int kind) {
  const char* caption = MessageText(wf::msg::kCaption);
  SetWindowTextA(MainWindow, caption);
  const char* title = GetMessageText(kind, wf::msg::kPageTitle);
  if (!*title) return;
  bool titleInCaption = MoreOptions() & wf::kMoreOptTitleInCaption;
  if (BackgroundMode()) {
    SetWindowTextA(WizardFrame, titleInCaption ? title : caption);
    return;
  }
  if (!titleInCaption) return;
  char* both = nullptr;
  if (!AllocBuffer(kCaptionBufferSize, &both)) return;
  // Cut rather than overrun: the two texts come from the package.
  lstrcpynA(both, caption, kCaptionBufferSize);
  uint32_t n = (uint32_t)strlen(both);
  lstrcpynA(both + n, " - ", kCaptionBufferSize - n);
  n = (uint32_t)strlen(both);
  lstrcpynA(both + n, title, kCaptionBufferSize - n);
  SetWindowTextA(MainWindow, both);
  FreeBuffer(&both);
}

}  // namespace

int ShowMessage(const char* text, unsigned style) {
  HWND owner = WizardFrame ? WizardFrame : MainWindow;
  return MessageBoxA(owner, text, MessageText(wf::msg::kCaption), style);
}

int ConfirmAndInform(uint16_t question, uint16_t information) {
  const char* ask = MessageText(question);
  if (*ask && ShowMessage(ask, kMessageYesNoQuestion) != kAnswerYes) return 0;
  const char* tell = information ? MessageText(information) : "";
  if (*tell) ShowMessage(tell, kMessageInformation);
  return 1;
}

INT_PTR MarkCommandHandled(HWND page) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, 1);
  return 1;
}

void SetButtonStates(uint32_t mask) {
  ButtonMask = mask;
  EnableWindow(GetDlgItem(ButtonBar, wf::kIdBack), (mask & kButtonBack) != 0);
  EnableWindow(GetDlgItem(ButtonBar, wf::kIdNext), (mask & kButtonNext) != 0);
  EnableWindow(GetDlgItem(ButtonBar, wf::kIdCancel), (mask & kButtonCancel) != 0);
}

void SetButtonCaption(int button, uint16_t item) {
  int id = button == kButtonBack ? wf::kIdBack : button == kButtonNext ? wf::kIdNext
           : button == kButtonCancel ? wf::kIdCancel : 0;
  if (!id) return;
  SetWindowTextA(GetDlgItem(ButtonBar, id), GetMessageText(wf::msg::kListButtons, item));
}

void FocusButton(int id) {
  if (HWND button = GetDlgItem(ButtonBar, id)) SetFocus(button);
}

void SetControlMarkup(HWND page, int id, const char* text) {
  if (HWND control = GetDlgItem(page, id)) SetMarkupText(control, text);
}

void PreparePage(HWND page, uint32_t mask) {
  CurrentPage = page;
  ClearLinkStore();
  int kind = CurrentPageKind;
  SetCaptions(kind);
  for (int n = 0; n < 4; ++n)
    SetControlMarkup(page, wf::kIdText0 + n, GetMessageText(kind, (uint16_t)(wf::msg::kPageText0 + n)));
  SetButtonCaption(kButtonBack, wf::msg::kButtonBack);
  SetButtonCaption(kButtonNext, wf::msg::kButtonNext);
  SetButtonCaption(kButtonCancel, wf::msg::kButtonCancel);
  if (SinglePageMode) mask |= kCancelWithoutQuestion;
  if (kind == wf::kPageWelcome) mask &= ~(uint32_t)kButtonBack;
  SetButtonStates(mask);
}

namespace {
void HandleButton(WPARAM wParam, LPARAM lParam) {
  if (CurrentPage && SendMessageA(CurrentPage, WM_COMMAND, wParam, lParam)) return;
  int id = LOWORD(wParam);
  if (id == wf::kIdNext || id == wf::kIdBack) {
    PageResult = id;
  } else if (id == wf::kIdCancel) {
    if (ButtonMask & kCancelWithoutQuestion) {
      PageResult = kPageResultCancel;
    } else if (ConfirmAndInform(wf::msg::kCancelQuestion, wf::msg::kCancelled)) {
      PageResult = kPageResultCancel;
      UserCancelled = true;
    }
  }
}
}  // namespace

// A question's message loop also delivers clicks: a second Next arriving
// while the first one's questions are open would ask them all again, nested.
void ButtonBarCommand(WPARAM wParam, LPARAM lParam) {
  static bool busy;
  if (busy) return;
  busy = true;
  HandleButton(wParam, lParam);
  busy = false;
}
