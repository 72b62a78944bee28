// The background window's picture: gradient or solid fill, the bitmap, the
// title with its shadow. Drawn off-screen and copied in one blit.
#include "base/package_model.h"
#include "base/setup.h"
#include "format/bitmaps.h"
#include "format/settings.h"
#include "ui/background_math.h"
#include "ui/main_window.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

int DisplayBits(HDC dc) { return GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL); }

void FillPerLine(HDC dc, const WizardSettings& s, int height, const RECT& paint) {
  HBRUSH brush = nullptr;
  COLORREF last = 0;
  for (int t = paint.top; t < paint.bottom; ++t) {
    COLORREF c = GradientColour(s.topColour, s.bottomColour, t, height);
    if (!brush || c != last) {
      if (brush) DeleteObject(brush);
      brush = CreateSolidBrush(c);
      last = c;
    }
    RECT row{paint.left, t, paint.right, t + 1};
    FillRect(dc, &row, brush);
  }
  if (brush) DeleteObject(brush);
}

// False when the pattern memory cannot be had; the caller then draws per line.
bool FillDithered(HDC dc, const WizardSettings& s, const RECT& client) {
  constexpr uint32_t kBlockSize = sizeof(BITMAPINFOHEADER) + kDitherPatternBytes;
  static_assert(kBlockSize == 232);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kBlockSize);
  if (!memory) return false;
  auto* header = (BITMAPINFOHEADER*)GlobalLock(memory);
  if (!header) {
    GlobalFree(memory);
    return false;
  }
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = 8;
  header->biHeight = 8;
  header->biPlanes = 1;
  header->biBitCount = 24;
  header->biSizeImage = kDitherPatternBytes;
  int height = client.bottom - client.top;
  for (int y = 0; y < height; y += kDitherBandRows) {
    uint32_t colours[8];
    DitherBandColours(s.topColour, s.bottomColour, y, height, colours);
    FillDitherPattern(colours, (uint8_t*)(header + 1));
    HBRUSH brush = CreateDIBPatternBrushPt(header, DIB_RGB_COLORS);
    RECT band{client.left, y, client.right, y + kDitherBandRows};
    FillRect(dc, &band, brush);
    DeleteObject(brush);
  }
  GlobalUnlock(memory);
  GlobalFree(memory);
  return true;
}

void FillBackground(Setup& setup, HDC dc, const WizardSettings& s, const RECT& client, const RECT& paint) {
  int height = client.bottom - client.top;
  switch (ChooseGradientStyle(s.flags, DisplayBits(dc), setup.wizard->nt4)) {
    case kGradientSolid: {
      HBRUSH brush = CreateSolidBrush(s.topColour);
      FillRect(dc, &paint, brush);
      DeleteObject(brush);
      return;
    }
    case kGradientDithered:
      if (FillDithered(dc, s, client)) return;
      [[fallthrough]];
    case kGradientPerLine:
      if (height > 0) FillPerLine(dc, s, height, paint);
      return;
  }
}

void DrawBackgroundBitmap(HDC dc, const FoundDib& dib, const RECT& client, uint32_t flags) {
  UiRect area{client.left, client.top, client.right, client.bottom};
  BitmapPlacement p = PlaceBackgroundBitmap(area, dib.info.width, dib.info.height, flags);
  const UiRect& f = p.first;
  switch (p.mode) {
    case kBitmapTiled:
      for (int row = 0; row < p.rows; ++row)
        for (int column = 0; column < p.columns; ++column) {
          UiRect t = TileRect(p, column, row);
          DrawDib(dc, dib, t.left, t.top, dib.info.width, dib.info.height);
        }
      return;
    case kBitmapStretched: {
      int previous = p.halftone ? SetStretchBltMode(dc, HALFTONE) : 0;
      if (p.halftone) SetBrushOrgEx(dc, 0, 0, nullptr);
      DrawDib(dc, dib, f.left, f.top, f.right - f.left, f.bottom - f.top);
      if (previous) {
        SetStretchBltMode(dc, previous);
        SetBrushOrgEx(dc, 0, 0, nullptr);
      }
      return;
    }
    case kBitmapUnscaled: DrawDib(dc, dib, f.left, f.top, dib.info.width, dib.info.height); return;
  }
}

void DrawTitleText(Setup& setup, HDC dc) {
  const char* text = (const char*)setup.package.titleText;
  const uint8_t* style = setup.package.titleStyle;
  if (!text || !*text || !style || setup.package.titleStyleSize < wf::title_style::kSize) return;
  HFONT font = CreateStoredFont(style + wf::title_style::kFont);
  HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  TitleLayout t = PlaceTitle(setup.wizard->screenWidth, setup.wizard->screenHeight,
                             wf::LoadU32(style + wf::title_style::kAlignment));
  RECT shadow{t.shadow.left, t.shadow.top, t.shadow.right, t.shadow.bottom};
  RECT face{t.text.left, t.text.top, t.text.right, t.text.bottom};
  SetTextColor(dc, wf::LoadU32(style + wf::title_style::kShadowColour));
  DrawTextA(dc, text, -1, &shadow, t.format);
  SetTextColor(dc, wf::LoadU32(style + wf::title_style::kTextColour));
  DrawTextA(dc, text, -1, &face, t.format);
  if (font) {
    SelectObject(dc, previous);
    DeleteObject(font);
  }
}

void DrawLayers(Setup& setup, HDC dc, const RECT& client, const RECT& paint, const FoundDib* dib) {
  const WizardSettings& s = Settings(setup);
  FillBackground(setup, dc, s, client, paint);
  if (dib) DrawBackgroundBitmap(dc, *dib, client, s.flags);
  DrawTitleText(setup, dc);
}

}  // namespace

void PaintBackground(Setup& setup, HWND window) {
  RECT client;
  GetClientRect(window, &client);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (!dc) {
    EndPaint(window, &ps);
    return;
  }
  FoundDib dib;
  bool hasDib = FindBackgroundDib(setup.package.background, setup.package.backgroundSize, &dib);
  HPALETTE palette = nullptr, previous = nullptr;
  if (DisplayBits(dc) <= 8) {
    if (hasDib && dib.info.bitCount == 8) palette = CreateBitmapPalette(dc, dib);
    if (!palette) palette = CreateHalftonePalette(dc);
    if (palette) {
      previous = SelectPalette(dc, palette, FALSE);
      RealizePalette(dc);
    }
  }
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, client.right, client.bottom) : nullptr;
  if (memory && bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (palette) SelectPalette(memory, palette, FALSE);
    DrawLayers(setup, memory, client, ps.rcPaint, hasDib ? &dib : nullptr);
    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top,
           memory, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    SelectObject(memory, old);
  } else {
    DrawLayers(setup, dc, client, ps.rcPaint, hasDib ? &dib : nullptr);
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  if (palette) {
    SelectPalette(dc, previous, TRUE);
    DeleteObject(palette);
  }
  EndPaint(window, &ps);
}
