// The FinishPage: success with its optional run button and check box, or
// the reason the installation failed.
#include "format/bytes.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "package/package_model.h"
#include "platform/files.h"
#include "startup/run_state.h"
#include "system/run_items.h"
#include "text/error_text.h"
#include "text/messages.h"
#include "ui/page_walk.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

constexpr uint32_t kFailureTextSize = 2048;

const char* FinishText(uint16_t item) { return GetMessageText(wf::kPageFinish, item); }

uint8_t TypeOptions() {
  const InstallTypeSlot* type = ThePackage.currentType;
  return type && type->recordSize ? type->record[wf::install_type::kOptions] : 0;
}

RECT PlaceOf(HWND page, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, page, (POINT*)&r, 2);
  return r;
}

void ShowFailure(HWND page) {
  HWND text = GetDlgItem(page, wf::kIdText0), second = GetDlgItem(page, wf::kIdText1),
       third = GetDlgItem(page, wf::kIdText2);
  ShowWindow(second, SW_HIDE);
  ShowWindow(third, SW_HIDE);
  if (text && third) {
    RECT a = PlaceOf(page, text), b = PlaceOf(page, third);
    SetWindowPos(text, nullptr, a.left, a.top, a.right - a.left, b.bottom - a.top, SWP_NOZORDER);
  }
  UserCancelled = true;
  if (ResultCode == kResultCancelled) {
    SetMarkupText(text, GetMessageText(wf::msg::kListMessages, wf::msg::kCancelled));
    return;
  }
  char* buffer = nullptr;
  if (!AllocBuffer(kFailureTextSize, &buffer)) return;
  char* reason = buffer + kFailureTextSize / 2;
  static_assert(kFailureTextSize / 2 >= kErrorTextSize);
  FormatErrorText(reason, ResultCode);
  FormatBounded(buffer, kFailureTextSize / 2, FinishText(wf::msg::kFinishFailed), reason, false, 0);
  SetMarkupText(text, buffer);
  FreeBuffer(&buffer);
}

void ShowSuccess(HWND page) {
  HWND runButton = GetDlgItem(page, wf::kIdRunButton), checkBox = GetDlgItem(page, wf::kIdRunCheckBox);
  bool buttonShown = false;
  if ((TypeOptions() & wf::kOptFinishRunButton) && *FinishText(wf::msg::kFinishRunButton) && runButton) {
    SetWindowTextA(runButton, FinishText(wf::msg::kFinishRunButton));
    ShowWindow(runButton, SW_SHOW);
    buttonShown = true;
  }
  if (!RestartNeeded && (TypeOptions() & wf::kOptFinishRunCheckBox) && *FinishText(wf::msg::kFinishRunCheckBox) &&
      checkBox) {
    SetWindowTextA(checkBox, FinishText(wf::msg::kFinishRunCheckBox));
    ShowWindow(checkBox, SW_SHOW);
    if (!buttonShown && !*FinishText(wf::msg::kFinishBelowButton)) {
      // Without the button the texts close up around where it would be.
      RECT box = PlaceOf(page, checkBox), button = runButton ? PlaceOf(page, runButton) : box;
      SetWindowPos(checkBox, nullptr, box.left, button.top, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
      SetControlMarkup(page, wf::kIdText1, FinishText(wf::msg::kFinishCloseUp));
      SetWindowTextA(GetDlgItem(page, wf::kIdText2), "");
    }
  }
  SetWindowTextA(GetDlgItem(page, wf::kIdText3), "");
  RunItems(wf::kRunAtFinishPage, kRunEverything, kInThisRun);
}

}  // namespace

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    if (*FinishText(wf::msg::kFinishRestartAlways)) RestartNeeded = true;
    if (ResultCode != 0) RestartNeeded = false;
    CommonPageProc(page, message, wParam, lParam);
    PreparePage(page, kButtonNext | kCancelWithoutQuestion);
    SetWindowTextA(GetDlgItem(page, wf::kIdText3), "");
    ShowWindow(GetDlgItem(page, wf::kIdRunButton), SW_HIDE);
    if (HWND checkBox = GetDlgItem(page, wf::kIdRunCheckBox)) {
      CheckDlgButton(page, wf::kIdRunCheckBox, RunAtEnd ? BST_CHECKED : BST_UNCHECKED);
      ShowWindow(checkBox, SW_HIDE);
    }
    if (ResultCode != 0) ShowFailure(page);
    else ShowSuccess(page);
    FocusButton(wf::kIdNext);
    return FALSE;
  }
  if (message == WM_COMMAND) {
    switch (LOWORD(wParam)) {
      case wf::kIdNext:
      case wf::kIdCancel:
        // Leaving always leads to the ClosingPage, without a question.
        PageResult = kPageResultCancel;
        return MarkCommandHandled(page);
      case wf::kIdRunButton:
        RunItems(wf::kRunOnRequest, kRunDocumentsOnly, kInThisRun);
        return MarkCommandHandled(page);
      case wf::kIdRunCheckBox:
        RunAtEnd = IsDlgButtonChecked(page, wf::kIdRunCheckBox) == BST_CHECKED;
        return MarkCommandHandled(page);
    }
  }
  return CommonPageProc(page, message, wParam, lParam);
}
