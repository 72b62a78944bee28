// The DestinationPage: the folder, the space it needs and has, and the
// checks on Next.
#include "format/bytes.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "package/package_model.h"
#include "startup/run_state.h"
#include "text/error_text.h"
#include "text/messages.h"
#include "text/path_services.h"
#include "ui/browse_folder.h"
#include "ui/show_message.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

const char* PageText(uint16_t item) { return GetMessageText(wf::kPageDestination, item); }

bool FolderEditable() {
  const InstallTypeSlot* type = ThePackage.currentType;
  return type && type->recordSize && (type->record[wf::install_type::kOptions] & wf::kOptFolderEditable);
}

void SetMegabytes(HWND page, int id, uint32_t megabytes) {
  char text[256];
  FormatBounded(text, sizeof text, PageText(wf::msg::kDestinationMegabytes), nullptr, true, (int32_t)megabytes);
  SetDlgItemTextA(page, id, text);
}

void ShowDiskSpace(HWND page) {
  DiskSpaceFigures f = MeasureDiskSpace();
  SetMegabytes(page, wf::kIdSpaceAvailable, f.freeMb);
  SetMegabytes(page, wf::kIdSpaceRequired, f.requiredMb);
}

void ReadFolder(HWND page) { GetDlgItemTextA(page, wf::kIdFolderEdit, InstallFolder, kPathSize); }

void ShowFolder(HWND page) {
  StripBackslash(InstallFolder);
  SetDlgItemTextA(page, wf::kIdFolderEdit, InstallFolder);
  AppendBackslash(InstallFolder);
}

void SetBodyTexts(HWND page, uint16_t first) {
  for (int n = 0; n < 3; ++n) SetControlMarkup(page, wf::kIdText1 + n, first ? PageText(first + n) : "");
}

// Next: the folder must exist (made on request) and have room. True when
// the page may be left.
bool CheckOnNext(HWND page) {
  ReadFolder(page);
  int r = CheckDestinationFolder();
  if (r != 0) {
    if (r != kFolderDeclined) ShowMessage(GetMessageText(wf::msg::kListMessages, (uint16_t)r), kMessageInformation);
    return false;
  }
  SetBodyTexts(page, 0);
  SetControlMarkup(page, wf::kIdText1, GetMessageText(wf::msg::kListMessages, wf::msg::kCheckingSpace));
  int shortOfSpace = CheckDiskSpace();
  SetBodyTexts(page, wf::msg::kDestinationFirstBody);
  if (shortOfSpace &&
      ShowMessage(GetMessageText(wf::msg::kListMessages, wf::msg::kNotEnoughSpace),
                  kMessageYesNoQuestion | kMessageDefaultNo) != kAnswerYes)
    return false;
  Run.destinationChecked = true;
  return true;
}

void Browse(HWND page) {
  ReadFolder(page);
  char chosen[kPathSize];
  lstrcpynA(chosen, InstallFolder, sizeof chosen);
  if (!BrowseForFolder(page, chosen)) return;
  StripBackslash(chosen);
  lstrcpynA(InstallFolder, chosen, kPathSize);
  SetDlgItemTextA(page, wf::kIdFolderEdit, InstallFolder);  // its change notice refreshes the space
}

}  // namespace

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    CommonPageProc(page, message, wParam, lParam);
    PreparePage(page, kButtonBack | kButtonNext | kButtonCancel);
    ShowFolder(page);
    Run.destinationChecked = false;
    SetControlMarkup(page, wf::kIdSpaceRequiredLabel, PageText(wf::msg::kDestinationRequiredLabel));
    SetControlMarkup(page, wf::kIdSpaceAvailableLabel, PageText(wf::msg::kDestinationFreeLabel));
    ShowDiskSpace(page);
    SetDlgItemTextA(page, wf::kIdBrowse, "...");
    bool editable = FolderEditable();
    if (!editable) {
      SendDlgItemMessageA(page, wf::kIdFolderEdit, EM_SETREADONLY, TRUE, 0);
      EnableWindow(GetDlgItem(page, wf::kIdBrowse), FALSE);
    }
    HWND edit = GetDlgItem(page, wf::kIdFolderEdit);
    if (editable && edit && GetWindowTextLengthA(edit) == 0) SetFocus(edit);
    else FocusButton(wf::kIdNext);
    return FALSE;
  }
  if (message == WM_COMMAND) {
    switch (LOWORD(wParam)) {
      case wf::kIdFolderEdit:
        ReadFolder(page);
        ShowDiskSpace(page);
        return 0;
      case wf::kIdBrowse:
        Browse(page);
        return 0;
      case wf::kIdNext:
        if (!SinglePageMode && !CheckOnNext(page)) return MarkCommandHandled(page);
        break;
    }
  }
  return CommonPageProc(page, message, wParam, lParam);
}
