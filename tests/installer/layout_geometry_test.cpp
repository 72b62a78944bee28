// Control, panel, panel-bitmap and decoration geometry of the wizard.
#include <gtest/gtest.h>

#include "ui/layout_geometry.h"

namespace {

const WizardSize kWizard{490, 348, 48};

TEST(PlaceControl, StoredRectangleOrThePageFillingSize) {
  struct Case {
    int32_t left, top, right, bottom;
    ControlPlace expected;
  };
  const Case cases[] = {
      {8, 8, 65535, 65535, {8, 8, 474, 290}},     // special size
      {20, 30, 65535, 0, {20, 30, 474, 290}},     // only right selects it
      {321, 13, 396, 36, {321, 13, 75, 23}},      // the Next button
      {10, 10, 65534, 20, {10, 10, 65524, 10}},
  };
  for (const Case& c : cases) {
    ControlPlace p = PlaceControl(c.left, c.top, c.right, c.bottom, kWizard);
    EXPECT_EQ(p.x, c.expected.x);
    EXPECT_EQ(p.y, c.expected.y);
    EXPECT_EQ(p.width, c.expected.width) << c.right;
    EXPECT_EQ(p.height, c.expected.height) << c.right;
  }
}

TEST(PlacePanels, SideHeaderPageAndButtonBar) {
  struct Case {
    int32_t side, header;
    PagePanels expected;
  };
  const Case cases[] = {
      {139, 0, {{0, 0, 139, 300}, {}, {139, 0, 490, 300}, {0, 300, 490, 348}, true, false}},
      {0, 60, {{}, {0, 0, 490, 60}, {0, 60, 490, 300}, {0, 300, 490, 348}, false, true}},
      {100, 40, {{0, 0, 100, 300}, {100, 0, 490, 40}, {100, 40, 490, 300}, {0, 300, 490, 348}, true, true}},
      {0, 0, {{}, {}, {0, 0, 490, 300}, {0, 300, 490, 348}, false, false}},
  };
  for (const Case& c : cases) {
    PagePanels p = PlacePanels(kWizard, c.side, c.header);
    EXPECT_EQ(p.side, c.expected.side) << c.side << "/" << c.header;
    EXPECT_EQ(p.header, c.expected.header) << c.side << "/" << c.header;
    EXPECT_EQ(p.page, c.expected.page) << c.side << "/" << c.header;
    EXPECT_EQ(p.buttonBar, c.expected.buttonBar);
    EXPECT_EQ(p.sideShown, c.expected.sideShown);
    EXPECT_EQ(p.headerShown, c.expected.headerShown);
  }
}

struct BitmapCase {
  const char* name;
  uint32_t flags;
  int32_t w, h, cw, ch;
  UiRect expected;
};

TEST(PanelBitmaps, HeaderBitmapMarginAndEnd) {
  const BitmapCase cases[] = {
      {"top-left", 0, 57, 57, 490, 60, {0, 0, 57, 57}},
      {"centred y, right", 0xA00, 57, 57, 490, 60, {432, 1, 489, 58}},
      {"centred y", 0x200, 57, 57, 490, 60, {1, 1, 58, 58}},
      {"right", 0x800, 57, 57, 490, 60, {433, 0, 490, 57}},
      {"taller: no margin", 0xA00, 57, 80, 490, 60, {433, -10, 490, 70}},
      {"odd gap truncates", 0x200, 57, 54, 490, 60, {3, 3, 60, 57}},
  };
  for (const BitmapCase& c : cases)
    EXPECT_EQ(HeaderBitmapRect(c.flags, c.w, c.h, c.cw, c.ch), c.expected) << c.name;
}

TEST(PanelBitmaps, SideBitmapCutOrCentred) {
  const BitmapCase cases[] = {
      {"centred, larger", 0x20, 140, 316, 139, 300, {0, -8, 140, 308}},
      {"top-left, cut", 0, 140, 316, 139, 300, {0, 0, 139, 300}},
      {"top-left, smaller", 0, 100, 100, 139, 300, {0, 0, 100, 100}},
      {"centred, smaller", 0x20, 99, 100, 139, 300, {20, 100, 119, 200}},
  };
  for (const BitmapCase& c : cases)
    EXPECT_EQ(SideBitmapRect(c.flags, c.w, c.h, c.cw, c.ch), c.expected) << c.name;
}

TEST(PanelLines, EtchedAlongTheRightEdge) {
  EXPECT_EQ(HeaderLineRect(UiRect{0, 0, 490, 60}), (UiRect{0, 58, 490, 60}));
  EXPECT_EQ(SideLineRect(UiRect{0, 0, 139, 300}), (UiRect{137, 0, 139, 300}));
  EXPECT_EQ(ButtonBarLineRect(UiRect{0, 0, 490, 48}), (UiRect{0, 0, 490, 2}));
}

TEST(DecorationShades, SystemColoursOrHalvedChannels) {
  struct Case {
    uint32_t colour;
    uint32_t dark, light;
  };
  const Case cases[] = {
      {0xFFFFFFFF, 0x00808080, 0x00E0E0E0},  // the system's pair
      {0x00FFFFFF, 0x007F7F7F, 0x00FFFFFF},
      {0x00FF0101, 0x007F0000, 0x00FFFFFF},  // no bit carried into the next channel
      {0, 0, 0x00FFFFFF},
  };
  for (const Case& c : cases) {
    PanelShades s = DecorationShades(c.colour, 0x00808080, 0x00E0E0E0);
    EXPECT_EQ(s.dark, c.dark) << std::hex << c.colour;
    EXPECT_EQ(s.light, c.light) << std::hex << c.colour;
  }
}

void ExpectStrip(const ShadeStrip& s, ShadeStrip e, const char* what) {
  EXPECT_EQ(s.x, e.x) << what;
  EXPECT_EQ(s.y, e.y) << what;
  EXPECT_EQ(s.width, e.width) << what;
  EXPECT_EQ(s.height, e.height) << what;
  EXPECT_EQ(s.light, e.light) << what;
}

TEST(DecorationStrips, SunkenFrameAndEtchedLines) {
  ShadeStrip frame[4];
  FrameStrips(UiRect{10, 20, 67, 77}, frame);
  const ShadeStrip frameExpected[4] = {
      {10, 20, 56, 1, false}, {10, 20, 1, 56, false}, {10, 76, 57, 1, true}, {66, 20, 1, 57, true}};
  for (int i = 0; i < 4; ++i) ExpectStrip(frame[i], frameExpected[i], "frame");

  struct LineCase {
    UiRect line;
    ShadeStrip expected[2];
  };
  const LineCase lines[] = {
      {{137, 0, 139, 300}, {{137, 0, 1, 300, false}, {138, 0, 1, 300, true}}},
      {{0, 58, 490, 60}, {{0, 58, 490, 1, false}, {0, 59, 490, 1, true}}},
      {{0, 0, 2, 2}, {{0, 0, 1, 2, false}, {1, 0, 1, 2, true}}},  // square: vertical
  };
  for (const LineCase& c : lines) {
    ShadeStrip strips[2];
    LineStrips(c.line, strips);
    for (int i = 0; i < 2; ++i) ExpectStrip(strips[i], c.expected[i], "line");
  }
}

TEST(WindowPlacement, CentredButNeverOutsideTheOwner) {
  struct Case {
    int32_t half, outer, limit, expected;
  };
  const Case cases[] = {
      {512, 496, 1024, 264},
      {512, 496, 400, 0},   // owner smaller than the frame
      {300, 100, 320, 220}, // held inside the owner
      {40, 100, 1024, 0},   // would start left of the screen
      {512, 497, 1024, 264},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CentreWithin(c.half, c.outer, c.limit), c.expected) << c.half << " " << c.outer;
  const int32_t screen[][3] = {{1024, 496, 264}, {400, 496, 0}, {401, 500, 0}, {1025, 500, 262}};
  for (const auto& c : screen) EXPECT_EQ(CentreOnScreen(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

}  // namespace
