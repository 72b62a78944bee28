// The WizardFrame: the dialog that holds the panels, the ButtonBar and the page.
#include "base/setup.h"
#include "format/bytes.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "ui/layout_geometry.h"
#include "ui/main_window.h"
#include "ui/page_walk.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;
namespace lf = wf::logfont;

namespace {

constexpr DWORD kFramePopupStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

}  // namespace

HFONT CreateStoredFont(const uint8_t* stored) {
  if (!stored) return nullptr;
  LOGFONTA f = {};
  f.lfHeight = (LONG)wf::LoadU32(stored + lf::kHeight);
  f.lfWidth = (LONG)wf::LoadU32(stored + lf::kWidth);
  f.lfEscapement = (LONG)wf::LoadU32(stored + lf::kEscapement);
  f.lfOrientation = (LONG)wf::LoadU32(stored + lf::kOrientation);
  f.lfWeight = (LONG)wf::LoadU32(stored + lf::kWeight);
  f.lfItalic = stored[lf::kItalic];
  f.lfUnderline = stored[lf::kUnderline];
  f.lfStrikeOut = stored[lf::kStrikeOut];
  f.lfCharSet = stored[lf::kCharSet];
  f.lfOutPrecision = stored[lf::kOutPrecision];
  f.lfClipPrecision = stored[lf::kClipPrecision];
  f.lfQuality = stored[lf::kQuality];
  f.lfPitchAndFamily = stored[lf::kPitchAndFamily];
  for (uint32_t i = 0; i < lf::kFaceNameSize - 1; ++i) f.lfFaceName[i] = (char)stored[lf::kFaceName + i];
  return CreateFontIndirectA(&f);
}

namespace {

void PlaceFrame(Setup& setup, HWND frame) {
  const WizardSettings& s = Settings(setup);
  if (!BackgroundMode(setup)) {
    SetWindowPos(frame, nullptr, 0, 0, s.width, s.height, SWP_NOZORDER);
    return;
  }
  RECT main, outer{0, 0, s.width, s.height};
  GetWindowRect(setup.wizard->mainWindow, &main);
  AdjustWindowRectEx(&outer, kFramePopupStyle, FALSE, 0);
  int ow = outer.right - outer.left, oh = outer.bottom - outer.top;
  int x = CentreWithin(setup.wizard->halfScreenWidth, ow, main.right - main.left);
  int y = CentreWithin(setup.wizard->halfScreenHeight, oh, main.bottom - main.top);
  SetWindowPos(frame, nullptr, x, y, ow, oh, SWP_NOZORDER);
}

}  // namespace

INT_PTR CALLBACK WizardFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(frame, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  switch (message) {
    case WM_INITDIALOG:
      setup.wizard->wizardFrame = frame;
      PlaceFrame(setup, frame);
      setup.wizard->dialogFont = CreateStoredFont(Settings(setup).dialogFont);
      CreateDialogParamA(setup.wizard->instance, MAKEINTRESOURCEA(kTemplatePanel), frame, HeaderPanelProc,
                         (LPARAM)&setup);
      CreateDialogParamA(setup.wizard->instance, MAKEINTRESOURCEA(kTemplatePanel), frame, SidePanelProc,
                         (LPARAM)&setup);
      CreateDialogParamA(setup.wizard->instance, MAKEINTRESOURCEA(kTemplateChild), frame, ButtonBarProc,
                         (LPARAM)&setup);
      PostMessageA(frame, WM_NCACTIVATE, TRUE, 0);
      return TRUE;
    case WM_COMMAND:
      // Enter and Escape reach the frame as IDOK and IDCANCEL: they act as
      // the buttons of those ids.
      if (setup.wizard->buttonBar) PostMessageA(setup.wizard->buttonBar, WM_COMMAND, wParam, lParam);
      break;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        ShowWindow(setup.wizard->mainWindow, SW_MINIMIZE);
      } else if ((wParam & 0xFFF0) == SC_CLOSE) {
        if (setup.wizard->buttonBar) {
          PostMessageA(setup.wizard->buttonBar, WM_COMMAND, IDCANCEL, 0);
          SetWindowLongPtrA(frame, DWLP_MSGRESULT, 0);
          return TRUE;
        }
        setup.pageResult = kPageResultCancel;
      }
      break;
    case WM_NCDESTROY:
      DeleteObject(setup.wizard->dialogFont);
      setup.wizard->dialogFont = nullptr;
      setup.wizard->wizardFrame = nullptr;
      break;
  }
  return HandleLinkNotify(setup, frame, message, wParam, lParam);
}
