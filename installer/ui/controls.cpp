// Controls made from ControlRecords, and the drawing helpers the panels and
// the background share.
#include <windows.h>

#include <richedit.h>

#include "base/setup.h"
#include "format/bytes.h"
#include "format/settings.h"
#include "ui/layout_geometry.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;
namespace cr = wf::control_record;

namespace {

const char* ClassName(Setup& setup, uint16_t code) {
  switch (code) {
    case wf::kClassStatic: return "STATIC";
    case wf::kClassEdit: return "EDIT";
    case wf::kClassButton:
    case wf::kClassCheckBox:
    case wf::kClassButton5:
    case wf::kClassGroupBox: return "BUTTON";
    case wf::kClassProgress: return "msctls_progress32";
    case wf::kClassRichEdit: return setup.wizard->richEdit2 ? "RichEdit20A" : "RICHEDIT";
    default: return nullptr;
  }
}

void SetUpRichEdit(Setup& setup, HWND control, uint32_t options, uint32_t colourA, uint32_t colourB) {
  SetWindowLongPtrA(control, GWLP_USERDATA, SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)RichEditSubclassProc));
  bool textBox = options & cr::kOptTextBox;
  if (!textBox)
    SendMessageA(control, EM_SETBKGNDCOLOR, 0, colourA == wf::kSystemColour ? GetSysColor(COLOR_BTNFACE) : colourA);
  else if (colourB != wf::kSystemColour) SendMessageA(control, EM_SETBKGNDCOLOR, 0, colourB);
  LPARAM mask = 0;
  if (setup.wizard->richEdit2) {
    SendMessageA(control, EM_AUTOURLDETECT, TRUE, 0);
    mask |= ENM_LINK;
  }
  if (!textBox) mask |= ENM_SELCHANGE;
  SendMessageA(control, EM_SETEVENTMASK, 0, mask);
}

}  // namespace

void CreateControls(Setup& setup, HWND parent, int count, const uint8_t* records, uint32_t colourA, uint32_t colourB) {
  if (!records) return;
  const WizardSettings& s = Settings(setup);
  WizardSize wizard{s.width, s.height, s.buttonBarHeight};
  for (int i = 0; i < count; ++i) {
    const uint8_t* r = records + i * cr::kSize;
    const char* name = ClassName(setup, wf::LoadU16(r + cr::kClass));
    if (!name) continue;
    ControlPlace at = PlaceControl((int32_t)wf::LoadU32(r + cr::kLeft), (int32_t)wf::LoadU32(r + cr::kTop),
                                   (int32_t)wf::LoadU32(r + cr::kRight), (int32_t)wf::LoadU32(r + cr::kBottom), wizard);
    HWND control =
        CreateWindowExA(wf::LoadU32(r + cr::kExStyle), name, "", wf::LoadU32(r + cr::kStyle), at.x, at.y, at.width,
                        at.height, parent, (HMENU)(UINT_PTR)wf::LoadU16(r + cr::kId), setup.wizard->instance, nullptr);
    if (!control) continue;
    if (setup.wizard->dialogFont) SendMessageA(control, WM_SETFONT, (WPARAM)setup.wizard->dialogFont, FALSE);
    if (wf::LoadU16(r + cr::kClass) == wf::kClassRichEdit)
      SetUpRichEdit(setup, control, wf::LoadU32(r + cr::kOptions), colourA, colourB);
  }
}

void DestroyChildren(HWND window) {
  while (HWND child = GetWindow(window, GW_CHILD))
    if (!DestroyWindow(child)) break;  // never spin on a child that will not go
}

void SetChildrenFont(HWND window, HFONT font) {
  if (!window || !font) return;
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    SendMessageA(c, WM_SETFONT, (WPARAM)font, FALSE);
}

void FillSolidRect(HDC dc, int x, int y, int width, int height, COLORREF colour) {
  RECT r{x, y, x + width, y + height};
  SetBkColor(dc, colour);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

HBRUSH MakeBrush(uint32_t colour, int fallback) {
  return CreateSolidBrush(colour == wf::kSystemColour ? GetSysColor(fallback) : colour);
}

HPALETTE CreateBitmapPalette(HDC dc, const FoundDib& dib) {
  const wf::DibInfo& info = dib.info;
  if (info.bitCount != 8) return nullptr;
  struct {
    WORD version, count;
    PALETTEENTRY entries[256];
  } palette;
  palette.version = 0x300;
  palette.count = 256;
  const uint8_t* table = dib.header + wf::dib_header::kSize;
  for (uint32_t i = 0; i < 256; ++i) {
    // A short colour table leaves the rest black rather than reading past it.
    const uint8_t* c = i < info.colourCount ? table + 4 * i : nullptr;
    palette.entries[i].peRed = c ? c[2] : 0;
    palette.entries[i].peGreen = c ? c[1] : 0;
    palette.entries[i].peBlue = c ? c[0] : 0;
    palette.entries[i].peFlags = (i < 10 || i >= 246) ? PC_NOCOLLAPSE : 0;
  }
  if (GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL) == 8 && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) {
    GetSystemPaletteEntries(dc, 0, 10, palette.entries);
    GetSystemPaletteEntries(dc, 246, 10, palette.entries + 246);
  }
  return CreatePalette((LOGPALETTE*)&palette);
}
