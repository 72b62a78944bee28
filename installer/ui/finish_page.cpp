// The FinishPage: success with its optional run button and check box, or
// the reason the installation failed.
#include "base/package_model.h"
#include "base/setup.h"
#include "format/bytes.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "platform/files.h"
#include "system/run_items.h"
#include "text/error_text.h"
#include "text/messages.h"
#include "ui/page_walk.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

constexpr uint32_t kFailureTextSize = 2048;

const char* FinishText(Setup& setup, uint16_t item) { return GetMessageText(setup, wf::kPageFinish, item); }

uint8_t TypeOptions(Setup& setup) {
  const InstallTypeSlot* type = setup.package.currentType;
  return type && type->recordSize ? type->record[wf::install_type::kOptions] : 0;
}

RECT PlaceOf(HWND page, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, page, (POINT*)&r, 2);
  return r;
}

void ShowFailure(Setup& setup, HWND page) {
  HWND text = GetDlgItem(page, wf::kIdText0), second = GetDlgItem(page, wf::kIdText1),
       third = GetDlgItem(page, wf::kIdText2);
  ShowWindow(second, SW_HIDE);
  ShowWindow(third, SW_HIDE);
  if (text && third) {
    RECT a = PlaceOf(page, text), b = PlaceOf(page, third);
    SetWindowPos(text, nullptr, a.left, a.top, a.right - a.left, b.bottom - a.top, SWP_NOZORDER);
  }
  setup.userCancelled = true;
  if (setup.resultCode == kResultCancelled) {
    SetMarkupText(setup, text, GetMessageText(setup, wf::msg::kListMessages, wf::msg::kCancelled));
    return;
  }
  char* buffer = nullptr;
  if (!AllocBuffer(kFailureTextSize, &buffer)) return;
  char* reason = buffer + kFailureTextSize / 2;
  static_assert(kFailureTextSize / 2 >= kErrorTextSize);
  FormatErrorText(setup, reason, setup.resultCode);
  FormatBounded(buffer, kFailureTextSize / 2, FinishText(setup, wf::msg::kFinishFailed), reason, false, 0);
  SetMarkupText(setup, text, buffer);
  FreeBuffer(&buffer);
}

void ShowSuccess(Setup& setup, HWND page) {
  HWND runButton = GetDlgItem(page, wf::kIdRunButton), checkBox = GetDlgItem(page, wf::kIdRunCheckBox);
  bool buttonShown = false;
  if ((TypeOptions(setup) & wf::kOptFinishRunButton) && *FinishText(setup, wf::msg::kFinishRunButton) && runButton) {
    SetWindowTextA(runButton, FinishText(setup, wf::msg::kFinishRunButton));
    ShowWindow(runButton, SW_SHOW);
    buttonShown = true;
  }
  if (!setup.restartNeeded && (TypeOptions(setup) & wf::kOptFinishRunCheckBox) &&
      *FinishText(setup, wf::msg::kFinishRunCheckBox) && checkBox) {
    SetWindowTextA(checkBox, FinishText(setup, wf::msg::kFinishRunCheckBox));
    ShowWindow(checkBox, SW_SHOW);
    if (!buttonShown && !*FinishText(setup, wf::msg::kFinishBelowButton)) {
      // Without the button the texts close up around where it would be.
      RECT box = PlaceOf(page, checkBox), button = runButton ? PlaceOf(page, runButton) : box;
      SetWindowPos(checkBox, nullptr, box.left, button.top, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
      SetControlMarkup(setup, page, wf::kIdText1, FinishText(setup, wf::msg::kFinishCloseUp));
      SetWindowTextA(GetDlgItem(page, wf::kIdText2), "");
    }
  }
  SetWindowTextA(GetDlgItem(page, wf::kIdText3), "");
  RunItems(setup, wf::kRunAtFinishPage, kRunEverything, kInThisRun);
}

}  // namespace

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(page, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  if (message == WM_INITDIALOG) {
    if (*FinishText(setup, wf::msg::kFinishRestartAlways)) setup.restartNeeded = true;
    if (setup.resultCode != 0) setup.restartNeeded = false;
    CommonPageProc(page, message, wParam, lParam);
    PreparePage(setup, page, kButtonNext | kCancelWithoutQuestion);
    SetWindowTextA(GetDlgItem(page, wf::kIdText3), "");
    ShowWindow(GetDlgItem(page, wf::kIdRunButton), SW_HIDE);
    if (HWND checkBox = GetDlgItem(page, wf::kIdRunCheckBox)) {
      CheckDlgButton(page, wf::kIdRunCheckBox, setup.runAtEnd ? BST_CHECKED : BST_UNCHECKED);
      ShowWindow(checkBox, SW_HIDE);
    }
    if (setup.resultCode != 0) ShowFailure(setup, page);
    else ShowSuccess(setup, page);
    FocusButton(setup, wf::kIdNext);
    return FALSE;
  }
  if (message == WM_COMMAND) {
    switch (LOWORD(wParam)) {
      case wf::kIdNext:
      case wf::kIdCancel:
        // Leaving always leads to the ClosingPage, without a question.
        setup.pageResult = kPageResultCancel;
        return MarkCommandHandled(page);
      case wf::kIdRunButton:
        RunItems(setup, wf::kRunOnRequest, kRunDocumentsOnly, kInThisRun);
        return MarkCommandHandled(page);
      case wf::kIdRunCheckBox:
        setup.runAtEnd = IsDlgButtonChecked(page, wf::kIdRunCheckBox) == BST_CHECKED;
        return MarkCommandHandled(page);
    }
  }
  return CommonPageProc(page, message, wParam, lParam);
}
