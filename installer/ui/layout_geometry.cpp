#include "ui/layout_geometry.h"

#include "format/settings.h"

namespace wf = wrenly::format;

ControlPlace PlaceControl(int32_t left, int32_t top, int32_t right, int32_t bottom, const WizardSize& wizard) {
  if (right == wf::control_record::kSpecialSize)
    return ControlPlace{left, top, wizard.width - 16, wizard.height - wizard.buttonBarHeight - 10};
  return ControlPlace{left, top, right - left, bottom - top};
}

PagePanels PlacePanels(const WizardSize& wizard, int32_t sideWidth, int32_t headerHeight) {
  int32_t aboveBar = wizard.height - wizard.buttonBarHeight;
  PagePanels p{};
  p.sideShown = sideWidth != 0;
  p.headerShown = headerHeight != 0;
  if (p.sideShown) p.side = UiRect{0, 0, sideWidth, aboveBar};
  if (p.headerShown) p.header = UiRect{sideWidth, 0, wizard.width, headerHeight};
  p.page = UiRect{sideWidth, headerHeight, wizard.width, aboveBar};
  p.buttonBar = UiRect{0, aboveBar, wizard.width, wizard.height};
  return p;
}

UiRect HeaderBitmapRect(uint32_t layoutFlags, int32_t w, int32_t h, int32_t cw, int32_t ch) {
  int32_t top = 0;
  int32_t margin = 0;
  if (layoutFlags & wf::kLayHeaderBitmapCentredY) {
    top = (ch - h) / 2;
    margin = top > 0 ? top : 0;
  }
  int32_t left = margin;
  if (layoutFlags & wf::kLayHeaderBitmapRight) left = cw - w - margin;
  return UiRect{left, top, left + w, top + h};
}

UiRect SideBitmapRect(uint32_t layoutFlags, int32_t w, int32_t h, int32_t cw, int32_t ch) {
  if (layoutFlags & wf::kLaySideBitmapCentred) {
    int32_t left = (cw - w) / 2;
    int32_t top = (ch - h) / 2;
    return UiRect{left, top, left + w, top + h};
  }
  return UiRect{0, 0, w < cw ? w : cw, h < ch ? h : ch};
}

UiRect HeaderLineRect(const UiRect& c) { return UiRect{c.left, c.bottom - 2, c.right, c.bottom}; }
UiRect SideLineRect(const UiRect& c) { return UiRect{c.right - 2, c.top, c.right, c.bottom}; }
UiRect ButtonBarLineRect(const UiRect& c) { return UiRect{c.left, c.top, c.right, c.top + 2}; }

PanelShades DecorationShades(uint32_t colour, uint32_t systemShadow, uint32_t systemHighlight) {
  if (colour == wf::kSystemColour) return PanelShades{systemShadow, systemHighlight};
  // Halving each channel on its own: the shift must not carry bits across channels.
  uint32_t dark = (colour >> 1) & 0x007F7F7F;
  return PanelShades{dark, 0x00FFFFFF};
}

void FrameStrips(const UiRect& b, ShadeStrip out[4]) {
  int32_t w = b.right - b.left;
  int32_t h = b.bottom - b.top;
  out[0] = ShadeStrip{b.left, b.top, w - 1, 1, false};
  out[1] = ShadeStrip{b.left, b.top, 1, h - 1, false};
  out[2] = ShadeStrip{b.left, b.bottom - 1, w, 1, true};
  out[3] = ShadeStrip{b.right - 1, b.top, 1, h, true};
}

void LineStrips(const UiRect& l, ShadeStrip out[2]) {
  int32_t w = l.right - l.left;
  int32_t h = l.bottom - l.top;
  if (l.right == l.left + 2) {
    out[0] = ShadeStrip{l.left, l.top, 1, h, false};
    out[1] = ShadeStrip{l.right - 1, l.top, 1, h, true};
  } else {
    out[0] = ShadeStrip{l.left, l.top, w, 1, false};
    out[1] = ShadeStrip{l.left, l.bottom - 1, w, 1, true};
  }
}

int32_t CentreWithin(int32_t half, int32_t outer, int32_t limit) {
  int32_t x = half - outer / 2;
  int32_t room = limit - outer;
  int32_t lesser = x < room ? x : room;
  return lesser < 0 ? 0 : lesser;
}

int32_t CentreOnScreen(int32_t screen, int32_t outer) {
  int32_t x = (screen - outer) / 2;
  return x < 0 ? 0 : x;
}
