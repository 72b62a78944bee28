// The HeaderPanel, SidePanel and ButtonBar, and what every page shares:
// brushes, colours, placement and its body controls.
#include "base/package_model.h"
#include "base/setup.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "text/messages.h"
#include "ui/layout_geometry.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

constexpr uint32_t kNone = wf::kSystemColour;

bool IsColourMessage(UINT message) {
  return message == WM_CTLCOLORMSGBOX || message == WM_CTLCOLORBTN || message == WM_CTLCOLORDLG ||
         message == WM_CTLCOLORSTATIC;
}

// Text and background colours into the DC; the brush is the answer. Both
// colours -1: the system's defaults.
INT_PTR AnswerColours(WPARAM dc, uint32_t text, uint32_t background, HBRUSH brush) {
  if (text == kNone && background == kNone) return FALSE;
  if (text != kNone) SetTextColor((HDC)dc, text);
  if (background != kNone) SetBkColor((HDC)dc, background);
  return (INT_PTR)brush;
}

int DisplayBits(HDC dc) { return GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL); }

UiRect ClientOf(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return UiRect{r.left, r.top, r.right, r.bottom};
}

// What one of the two picture panels draws: its bitmap, where the layout
// puts it, and its etched line.
struct PanelLook {
  uint32_t bitmap;
  uint32_t colour;
  bool line;
  bool framed;
  UiRect (*lineRect)(const UiRect& client);
  UiRect (*bitmapRect)(uint32_t flags, int32_t w, int32_t h, int32_t cw, int32_t ch);
};

void PaintPanel(Setup& setup, HWND panel, PanelLook (*lookOf)(const LayoutView& l)) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(panel, &ps);
  LayoutView l;
  if (dc && CurrentLayout(setup, &l)) {
    PanelLook look = lookOf(l);
    UiRect client = ClientOf(panel), line = look.lineRect(client), at{};
    FoundDib dib;
    bool hasDib = FindTableBitmap(setup.package.bitmapTable, setup.package.bitmapTableSize, look.bitmap, &dib);
    if (hasDib) at = look.bitmapRect(l.flags, dib.info.width, dib.info.height, client.right, client.bottom);
    DrawPanelDecoration(dc, hasDib ? &dib : nullptr, &at, look.line ? &line : nullptr, look.colour, look.framed);
  }
  EndPaint(panel, &ps);
}

PanelLook HeaderLook(const LayoutView& l) {
  return {
      l.headerBitmap, l.headerColour,  (l.flags & wf::kLayHeaderLine) != 0, (l.flags & wf::kLayHeaderBitmapFramed) != 0,
      HeaderLineRect, HeaderBitmapRect};
}

PanelLook SideLook(const LayoutView& l) {
  return {l.sideBitmap, l.sideColour,  (l.flags & wf::kLaySideLine) != 0, (l.flags & wf::kLaySideBitmapFramed) != 0,
          SideLineRect, SideBitmapRect};
}

void PaintButtonBar(Setup& setup, HWND bar) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(bar, &ps);
  const WizardSettings& s = Settings(setup);
  if (dc && (s.options & wf::kSetOptButtonBarLine)) {
    UiRect line = ButtonBarLineRect(ClientOf(bar));
    DrawPanelDecoration(dc, nullptr, nullptr, &line, s.buttonBarColour, false);
  }
  EndPaint(bar, &ps);
}

// What the two hidden panels share.
INT_PTR PanelCommon(Setup& setup, HWND panel, UINT message, WPARAM wParam, LPARAM lParam, HWND* self) {
  switch (message) {
    case WM_INITDIALOG:
      *self = panel;
      ShowWindow(panel, SW_HIDE);
      return TRUE;
    case WM_NCDESTROY: *self = nullptr; return FALSE;
  }
  return HandleLinkNotify(setup, panel, message, wParam, lParam);
}

}  // namespace

void DrawDib(HDC dc, const FoundDib& dib, int x, int y, int w, int h) {
  StretchDIBits(dc, x, y, w, h, 0, 0, dib.info.width, dib.info.height, dib.header + dib.info.pixelOffset,
                (const BITMAPINFO*)dib.header, DIB_RGB_COLORS, SRCCOPY);
}

void DrawPanelDecoration(HDC dc, const FoundDib* dib, const UiRect* bitmap, const UiRect* line, uint32_t colour,
                         bool framed) {
  PanelShades shades = DecorationShades(colour, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
  HPALETTE palette = nullptr, previous = nullptr;
  ShadeStrip strips[4];
  if (dib && bitmap) {
    if (dib->info.bitCount <= 8 && DisplayBits(dc) <= 8) {
      palette = CreateBitmapPalette(dc, *dib);
      if (!palette) palette = CreateHalftonePalette(dc);
      if (palette) {
        previous = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
      }
    }
    DrawDib(dc, *dib, bitmap->left, bitmap->top, dib->info.width, dib->info.height);
    if (framed) {
      FrameStrips(*bitmap, strips);
      for (const ShadeStrip& s : strips)
        FillSolidRect(dc, s.x, s.y, s.width, s.height, s.light ? shades.light : shades.dark);
    }
  }
  if (line) {
    LineStrips(*line, strips);
    for (int i = 0; i < 2; ++i)
      FillSolidRect(dc, strips[i].x, strips[i].y, strips[i].width, strips[i].height,
                    strips[i].light ? shades.light : shades.dark);
  }
  if (palette) {
    SelectPalette(dc, previous, TRUE);
    DeleteObject(palette);
  }
}

INT_PTR CALLBACK CommonPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(page, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  LayoutView l;
  bool hasLayout = CurrentLayout(setup, &l);
  if (message == WM_INITDIALOG) {
    if (!hasLayout) return TRUE;  // the walk never shows a kind without a layout
    setup.wizard->pageBrush = MakeBrush(l.pageColour, COLOR_BTNFACE);
    setup.wizard->editBrush = MakeBrush(l.editColour, COLOR_WINDOW);
    setup.wizard->currentPage = page;
    CreateControls(setup, page, l.bodyCount, l.bodyRecords, l.pageColour, l.editColour);
    const WizardSettings& s = Settings(setup);
    PagePanels panels = PlacePanels(WizardSize{s.width, s.height, s.buttonBarHeight}, l.sideWidth, l.headerHeight);
    SetWindowPos(page, nullptr, panels.page.left, panels.page.top, panels.page.right - panels.page.left,
                 panels.page.bottom - panels.page.top, SWP_NOZORDER);
    return TRUE;
  }
  if (IsColourMessage(message))
    return hasLayout ? AnswerColours(wParam, l.textColour, l.pageColour, setup.wizard->pageBrush) : FALSE;
  if (message == WM_CTLCOLOREDIT)
    return hasLayout ? AnswerColours(wParam, l.textColour, l.editColour, setup.wizard->editBrush) : FALSE;
  if (message == WM_NCDESTROY) {
    DeleteObject(setup.wizard->pageBrush);
    DeleteObject(setup.wizard->editBrush);
    setup.wizard->pageBrush = setup.wizard->editBrush = nullptr;
    if (setup.wizard->currentPage == page) setup.wizard->currentPage = nullptr;
    return FALSE;
  }
  return HandleLinkNotify(setup, page, message, wParam, lParam);
}

INT_PTR CALLBACK HeaderPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(panel, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  LayoutView l;
  if (message == WM_PAINT) {
    PaintPanel(setup, panel, HeaderLook);
    return TRUE;
  }
  if (IsColourMessage(message))
    return CurrentLayout(setup, &l)
               ? AnswerColours(wParam, l.headerTextColour, l.headerColour, setup.wizard->headerBrush)
               : FALSE;
  if (message == WM_NCDESTROY) {
    DeleteObject(setup.wizard->headerBrush);
    setup.wizard->headerBrush = nullptr;
  }
  return PanelCommon(setup, panel, message, wParam, lParam, &setup.wizard->headerPanel);
}

INT_PTR CALLBACK SidePanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(panel, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  LayoutView l;
  if (message == WM_PAINT) {
    PaintPanel(setup, panel, SideLook);
    return TRUE;
  }
  if (IsColourMessage(message)) {
    if (!CurrentLayout(setup, &l) || l.sideColour == kNone) return FALSE;
    SetBkColor((HDC)wParam, l.sideColour);
    return (INT_PTR)setup.wizard->sideBrush;
  }
  if (message == WM_NCDESTROY) {
    DeleteObject(setup.wizard->sideBrush);
    setup.wizard->sideBrush = nullptr;
  }
  return PanelCommon(setup, panel, message, wParam, lParam, &setup.wizard->sidePanel);
}

void ButtonBarCommand(Setup& setup, WPARAM wParam, LPARAM lParam);

INT_PTR CALLBACK ButtonBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  Setup* state = SetupOf(bar, message, lParam);
  if (!state) return FALSE;
  Setup& setup = *state;
  const WizardSettings& s = Settings(setup);
  switch (message) {
    case WM_INITDIALOG: {
      setup.wizard->buttonBar = bar;
      setup.wizard->buttonBarBrush = MakeBrush(s.buttonBarColour, COLOR_BTNFACE);
      CreateControls(setup, bar, s.buttonCount, s.buttonRecords, s.buttonBarColour, kNone);
      SetButtonCaption(setup, kButtonBack, wf::msg::kButtonBack);
      SetButtonCaption(setup, kButtonNext, wf::msg::kButtonNext);
      SetButtonCaption(setup, kButtonCancel, wf::msg::kButtonCancel);
      SetWindowPos(bar, nullptr, 0, s.height - s.buttonBarHeight, s.width, s.buttonBarHeight, SWP_NOZORDER);
      return TRUE;
    }
    case WM_PAINT: PaintButtonBar(setup, bar); return TRUE;
    case WM_COMMAND: ButtonBarCommand(setup, wParam, lParam); return TRUE;
    case WM_NCDESTROY:
      DeleteObject(setup.wizard->buttonBarBrush);
      setup.wizard->buttonBarBrush = nullptr;
      setup.wizard->buttonBar = nullptr;
      return FALSE;
  }
  if (IsColourMessage(message)) {
    if (s.buttonBarColour == kNone) return FALSE;
    SetBkColor((HDC)wParam, s.buttonBarColour);
    return (INT_PTR)setup.wizard->buttonBarBrush;
  }
  return HandleLinkNotify(setup, bar, message, wParam, lParam);
}
