// The ButtonBar's commands, the set-up every page shares, and the wizard's
// questions.
#include <string.h>

#include "base/display.h"
#include "base/package_model.h"
#include "base/setup.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "platform/files.h"
#include "text/link_store.h"
#include "text/messages.h"
#include "ui/main_window.h"
#include "ui/page_walk.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

constexpr uint32_t kCaptionBufferSize = 1024;

uint32_t MoreOptions(Setup& setup) {
  const InstallTypeSlot* type = setup.package.currentType;
  if (!type || type->recordSize < wf::install_type::kMoreOptions + 4) return 0;
  return wf::LoadU32(type->record + wf::install_type::kMoreOptions);
}

const char* MessageText(Setup& setup, uint16_t item) { return GetMessageText(setup, wf::msg::kListMessages, item); }

void SetCaptions(Setup& setup, int kind) {
  const char* caption = MessageText(setup, wf::msg::kCaption);
  SetWindowTextA(setup.wizard->mainWindow, caption);
  const char* title = GetMessageText(setup, kind, wf::msg::kPageTitle);
  if (!*title) return;
  bool titleInCaption = MoreOptions(setup) & wf::kMoreOptTitleInCaption;
  if (BackgroundMode(setup)) {
    SetWindowTextA(setup.wizard->wizardFrame, titleInCaption ? title : caption);
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
  SetWindowTextA(setup.wizard->mainWindow, both);
  FreeBuffer(&both);
}

}  // namespace

int ShowMessage(Setup& setup, const char* text, unsigned style) {
  HWND owner = setup.wizard->wizardFrame ? setup.wizard->wizardFrame : setup.wizard->mainWindow;
  return MessageBoxA(owner, text, MessageText(setup, wf::msg::kCaption), style);
}

int ConfirmAndInform(Setup& setup, uint16_t question, uint16_t information) {
  const char* ask = MessageText(setup, question);
  if (*ask && AskUser(setup, ask, kMessageYesNoQuestion, kAnswerNo) != kAnswerYes) return 0;
  const char* tell = information ? MessageText(setup, information) : "";
  if (*tell) AskUser(setup, tell, kMessageInformation, kAnswerOk);
  return 1;
}

INT_PTR MarkCommandHandled(HWND page) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, 1);
  return 1;
}

void SetButtonStates(Setup& setup, uint32_t mask) {
  setup.wizard->buttonMask = mask;
  EnableWindow(GetDlgItem(setup.wizard->buttonBar, wf::kIdBack), (mask & kButtonBack) != 0);
  EnableWindow(GetDlgItem(setup.wizard->buttonBar, wf::kIdNext), (mask & kButtonNext) != 0);
  EnableWindow(GetDlgItem(setup.wizard->buttonBar, wf::kIdCancel), (mask & kButtonCancel) != 0);
}

void SetButtonCaption(Setup& setup, int button, uint16_t item) {
  int id = button == kButtonBack     ? wf::kIdBack
           : button == kButtonNext   ? wf::kIdNext
           : button == kButtonCancel ? wf::kIdCancel
                                     : 0;
  if (!id) return;
  SetWindowTextA(GetDlgItem(setup.wizard->buttonBar, id), GetMessageText(setup, wf::msg::kListButtons, item));
}

void FocusButton(Setup& setup, int id) {
  if (HWND button = GetDlgItem(setup.wizard->buttonBar, id)) SetFocus(button);
}

void SetControlMarkup(Setup& setup, HWND page, int id, const char* text) {
  if (HWND control = GetDlgItem(page, id)) SetMarkupText(setup, control, text);
}

void PreparePage(Setup& setup, HWND page, uint32_t mask) {
  setup.wizard->currentPage = page;
  ClearLinkStore();
  int kind = setup.wizard->currentPageKind;
  SetCaptions(setup, kind);
  for (int n = 0; n < 4; ++n)
    SetControlMarkup(setup, page, wf::kIdText0 + n, GetMessageText(setup, kind, (uint16_t)(wf::msg::kPageText0 + n)));
  SetButtonCaption(setup, kButtonBack, wf::msg::kButtonBack);
  SetButtonCaption(setup, kButtonNext, wf::msg::kButtonNext);
  SetButtonCaption(setup, kButtonCancel, wf::msg::kButtonCancel);
  if (setup.singlePageMode) mask |= kCancelWithoutQuestion;
  if (kind == wf::kPageWelcome) mask &= ~(uint32_t)kButtonBack;
  SetButtonStates(setup, mask);
}

namespace {
void HandleButton(Setup& setup, WPARAM wParam, LPARAM lParam) {
  if (setup.wizard->currentPage && SendMessageA(setup.wizard->currentPage, WM_COMMAND, wParam, lParam)) return;
  int id = LOWORD(wParam);
  if (id == wf::kIdNext || id == wf::kIdBack) {
    setup.pageResult = id;
  } else if (id == wf::kIdCancel) {
    if (setup.wizard->buttonMask & kCancelWithoutQuestion) {
      setup.pageResult = kPageResultCancel;
    } else if (ConfirmAndInform(setup, wf::msg::kCancelQuestion, wf::msg::kCancelled)) {
      setup.pageResult = kPageResultCancel;
      setup.userCancelled = true;
    }
  }
}
}  // namespace

// A question's message loop also delivers clicks: a second Next arriving
// while the first one's questions are open would ask them all again, nested.
void ButtonBarCommand(Setup& setup, WPARAM wParam, LPARAM lParam) {
  if (setup.wizard->commandBusy) return;
  setup.wizard->commandBusy = true;
  HandleButton(setup, wParam, lParam);
  setup.wizard->commandBusy = false;
}
