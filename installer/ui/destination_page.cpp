// The DestinationPage: the folder, the space it needs and has, and the
// checks on Next.
#include "base/display.h"
#include "base/package_model.h"
#include "base/setup.h"
#include "format/bytes.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "text/error_text.h"
#include "text/messages.h"
#include "text/path_services.h"
#include "ui/browse_folder.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

const char* PageText(Setup& setup, uint16_t item) { return GetMessageText(setup, wf::kPageDestination, item); }

bool FolderEditable(Setup& setup) {
  const InstallTypeSlot* type = setup.package.currentType;
  return type && type->recordSize && (type->record[wf::install_type::kOptions] & wf::kOptFolderEditable);
}

void SetMegabytes(Setup& setup, HWND page, int id, uint32_t megabytes) {
  char text[256];
  FormatBounded(text, sizeof text, PageText(setup, wf::msg::kDestinationMegabytes), nullptr, true, (int32_t)megabytes);
  SetDlgItemTextA(page, id, text);
}

void ShowDiskSpace(Setup& setup, HWND page) {
  DiskSpaceFigures f = MeasureDiskSpace(setup);
  SetMegabytes(setup, page, wf::kIdSpaceAvailable, f.freeMb);
  SetMegabytes(setup, page, wf::kIdSpaceRequired, f.requiredMb);
}

void ReadFolder(Setup& setup, HWND page) { GetDlgItemTextA(page, wf::kIdFolderEdit, setup.installFolder, kPathSize); }

void ShowFolder(Setup& setup, HWND page) {
  StripBackslash(setup.installFolder);
  SetDlgItemTextA(page, wf::kIdFolderEdit, setup.installFolder);
  AppendBackslash(setup.installFolder);
}

void SetBodyTexts(Setup& setup, HWND page, uint16_t first) {
  for (int n = 0; n < 3; ++n) SetControlMarkup(setup, page, wf::kIdText1 + n, first ? PageText(setup, first + n) : "");
}

// Next: the folder must exist (made on request) and have room. True when
// the page may be left.
bool CheckOnNext(Setup& setup, HWND page) {
  ReadFolder(setup, page);
  int r = CheckDestinationFolder(setup);
  if (r != 0) {
    if (r != kFolderDeclined)
      AskUser(setup, GetMessageText(setup, wf::msg::kListMessages, (uint16_t)r), kMessageInformation, kAnswerOk);
    return false;
  }
  SetBodyTexts(setup, page, 0);
  SetControlMarkup(setup, page, wf::kIdText1, GetMessageText(setup, wf::msg::kListMessages, wf::msg::kCheckingSpace));
  int shortOfSpace = CheckDiskSpace(setup);
  SetBodyTexts(setup, page, wf::msg::kDestinationFirstBody);
  if (shortOfSpace && AskUser(setup, GetMessageText(setup, wf::msg::kListMessages, wf::msg::kNotEnoughSpace),
                              kMessageYesNoQuestion | kMessageDefaultNo, kAnswerNo) != kAnswerYes)
    return false;
  setup.run.destinationChecked = true;
  return true;
}

void Browse(Setup& setup, HWND page) {
  ReadFolder(setup, page);
  char chosen[kPathSize];
  lstrcpynA(chosen, setup.installFolder, sizeof chosen);
  if (!BrowseForFolder(setup, page, chosen)) return;
  StripBackslash(chosen);
  lstrcpynA(setup.installFolder, chosen, kPathSize);
  SetDlgItemTextA(page, wf::kIdFolderEdit, setup.installFolder);  // its change notice refreshes the space
}

}  // namespace

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(page, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  if (message == WM_INITDIALOG) {
    CommonPageProc(page, message, wParam, lParam);
    PreparePage(setup, page, kButtonBack | kButtonNext | kButtonCancel);
    ShowFolder(setup, page);
    setup.run.destinationChecked = false;
    SetControlMarkup(setup, page, wf::kIdSpaceRequiredLabel, PageText(setup, wf::msg::kDestinationRequiredLabel));
    SetControlMarkup(setup, page, wf::kIdSpaceAvailableLabel, PageText(setup, wf::msg::kDestinationFreeLabel));
    ShowDiskSpace(setup, page);
    SetDlgItemTextA(page, wf::kIdBrowse, "...");
    bool editable = FolderEditable(setup);
    if (!editable) {
      SendDlgItemMessageA(page, wf::kIdFolderEdit, EM_SETREADONLY, TRUE, 0);
      EnableWindow(GetDlgItem(page, wf::kIdBrowse), FALSE);
    }
    HWND edit = GetDlgItem(page, wf::kIdFolderEdit);
    if (editable && edit && GetWindowTextLengthA(edit) == 0) SetFocus(edit);
    else FocusButton(setup, wf::kIdNext);
    return FALSE;
  }
  if (message == WM_COMMAND) {
    switch (LOWORD(wParam)) {
      case wf::kIdFolderEdit:
        ReadFolder(setup, page);
        ShowDiskSpace(setup, page);
        return 0;
      case wf::kIdBrowse: Browse(setup, page); return 0;
      case wf::kIdNext:
        if (!setup.singlePageMode && !CheckOnNext(setup, page)) return MarkCommandHandled(page);
        break;
    }
  }
  return CommonPageProc(page, message, wParam, lParam);
}
