// Where the wizard's windows, controls, panel bitmaps and etched lines go.
// Plain arithmetic; the dialog code turns the answers into window calls.
#pragma once
#include <stdint.h>

#include "ui/ui_rect.h"

struct WizardSize {
  int32_t width;  // client size of the WizardFrame
  int32_t height;
  int32_t buttonBarHeight;
};

struct ControlPlace {
  int32_t x, y, width, height;
};

// A ControlRecord's position and size; right = 65535 asks for the size that
// fills a page: wizard width - 16 by wizard height - ButtonBar height - 10.
ControlPlace PlaceControl(int32_t left, int32_t top, int32_t right, int32_t bottom, const WizardSize& wizard);

struct PagePanels {
  UiRect side;    // empty and hidden when the side width is 0
  UiRect header;  // empty and hidden when the header height is 0
  UiRect page;
  UiRect buttonBar;
  bool sideShown;
  bool headerShown;
};

// The four windows of one page in the WizardFrame's client area.
PagePanels PlacePanels(const WizardSize& wizard, int32_t sideWidth, int32_t headerHeight);

// HeaderPanel bitmap (flags 0x200 centre vertically with the same margin
// kept sideways, 0x800 at the right end) in a client of cw x ch.
UiRect HeaderBitmapRect(uint32_t layoutFlags, int32_t w, int32_t h, int32_t cw, int32_t ch);
// SidePanel bitmap: top-left and cut to the client, or centred (flag 0x20).
UiRect SideBitmapRect(uint32_t layoutFlags, int32_t w, int32_t h, int32_t cw, int32_t ch);

// The etched lines: the bottom two rows of the header, the right two
// columns of the side panel, the top two rows of the ButtonBar.
UiRect HeaderLineRect(const UiRect& client);
UiRect SideLineRect(const UiRect& client);
UiRect ButtonBarLineRect(const UiRect& client);

struct PanelShades {
  uint32_t dark;
  uint32_t light;
};

// Colour -1 takes the system's shadow and highlight; any other colour is
// halved for the dark shade and lit with white.
PanelShades DecorationShades(uint32_t colour, uint32_t systemShadow, uint32_t systemHighlight);

// One FillSolidRect of a decoration: x, y, width, height and which shade.
struct ShadeStrip {
  int32_t x, y, width, height;
  bool light;
};

// The sunken frame drawn over a bitmap rectangle: four strips.
void FrameStrips(const UiRect& bitmap, ShadeStrip out[4]);
// An etched line: vertical when the rectangle is two pixels wide.
void LineStrips(const UiRect& line, ShadeStrip out[2]);

// Top-left corner of a window of size outer centred on a point and kept
// inside a container of size limit: the lesser of the two, never negative.
int32_t CentreWithin(int32_t half, int32_t outer, int32_t limit);
// Windowed mode: the main window centred on the screen, never off its top-left.
int32_t CentreOnScreen(int32_t screen, int32_t outer);
