// Control, panel, panel-bitmap and decoration geometry of the wizard.
#include <gtest/gtest.h>

#include <array>

#include "ui/layout_geometry.h"

static void PrintTo(const UiRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

const WizardSize kWizard{490, 348, 48};

TEST(PlaceControl, StoredRectangleOrThePageFillingSize) {
  const std::array<int32_t, 8> cases[] = {  // left, top, right, bottom, then x, y, width, height
      {20, 30, 65535, 0, 20, 30, 474, 290},  // right alone selects it
      {10, 10, 65534, 20, 10, 10, 65524, 10}, {10, 10, 20, 65535, 10, 10, 10, 65525}};
  for (auto& c : cases) {
    ControlPlace p = PlaceControl(c[0], c[1], c[2], c[3], kWizard);
    EXPECT_EQ((std::array{p.x, p.y, p.width, p.height}), (std::array{c[4], c[5], c[6], c[7]})) << c[2];
  }
}

TEST(PlacePanels, SideHeaderPageAndButtonBar) {
  const PagePanels cases[] = {  // the side width and header height are where the page starts
      {{0, 0, 139, 300}, {}, {139, 0, 490, 300}, {0, 300, 490, 348}, true, false},
      {{}, {0, 0, 490, 60}, {0, 60, 490, 300}, {0, 300, 490, 348}, false, true},
      {{0, 0, 100, 300}, {100, 0, 490, 40}, {100, 40, 490, 300}, {0, 300, 490, 348}, true, true},
  };
  for (const PagePanels& e : cases) {
    PagePanels p = PlacePanels(kWizard, e.page.left, e.page.top);
    EXPECT_EQ((std::array{p.side, p.header, p.page, p.buttonBar}),
              (std::array{e.side, e.header, e.page, e.buttonBar}));
    EXPECT_EQ(std::pair(p.sideShown, p.headerShown), std::pair(e.sideShown, e.headerShown));
  }
}

TEST(PanelBitmaps, HeaderMarginAndEndSideCutOrCentred) {
  const std::tuple<bool, uint32_t, int32_t, int32_t, UiRect> cases[] = {  // header?, flags, w, h, place
      // In a 490 x 60 header: centred y keeps the same margin at the end, unless taller than the header.
      {true, 0, 57, 57, {0, 0, 57, 57}},           {true, 0xA00, 57, 57, {432, 1, 489, 58}},
      {true, 0x200, 57, 57, {1, 1, 58, 58}},       {true, 0x800, 57, 57, {433, 0, 490, 57}},
      {true, 0xA00, 57, 80, {433, -10, 490, 70}},  {true, 0x200, 57, 54, {3, 3, 60, 57}},
      // In a 139 x 300 side panel.
      {false, 0x20, 140, 316, {0, -8, 140, 308}},  {false, 0, 140, 316, {0, 0, 139, 300}},
      {false, 0, 100, 100, {0, 0, 100, 100}},      {false, 0x20, 99, 100, {20, 100, 119, 200}},
  };
  for (auto& [header, flags, w, h, place] : cases)
    EXPECT_EQ(header ? HeaderBitmapRect(flags, w, h, 490, 60) : SideBitmapRect(flags, w, h, 139, 300), place)
        << header << " " << std::hex << flags << " " << w << "x" << h;
}

TEST(Decoration, ShadesHalveEachChannel) {
  const uint32_t cases[][3] = {  // colour, dark, light; colour -1 takes the system's pair
      {0xFFFFFFFF, 0x00808080, 0x00E0E0E0}, {0x00FFFFFF, 0x007F7F7F, 0x00FFFFFF},
      {0x00FF0101, 0x007F0000, 0x00FFFFFF}, {0, 0, 0x00FFFFFF}};
  for (auto& c : cases) {
    PanelShades s = DecorationShades(c[0], 0x00808080, 0x00E0E0E0);
    EXPECT_EQ(std::pair(s.dark, s.light), std::pair(c[1], c[2])) << std::hex << c[0];
  }
}

TEST(Decoration, SunkenFrameDarkAboveAndLeft) {
  ShadeStrip f[4];
  FrameStrips(UiRect{10, 20, 67, 77}, f);
  const std::array<int32_t, 5> expected[] = {  // x, y, width, height, light
      {10, 20, 56, 1, 0}, {10, 20, 1, 56, 0}, {10, 76, 57, 1, 1}, {66, 20, 1, 57, 1}};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ((std::array{f[i].x, f[i].y, f[i].width, f[i].height, int32_t(f[i].light)}), expected[i]) << i;
}

TEST(WindowPlacement, CentredButNeverOutsideTheOwnerOrTheScreen) {
  const int32_t within[][4] = {  // half, outer, limit, left
      {512, 496, 1024, 264},
      {512, 497, 1024, 264}, {512, 496, 400, 0}, {300, 100, 320, 220}, {40, 100, 1024, 0}};
  for (auto& c : within) EXPECT_EQ(CentreWithin(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1];
  const int32_t screen[][3] = {{1024, 496, 264}, {400, 496, 0}, {401, 500, 0}, {1025, 500, 262}};
  for (auto& c : screen) EXPECT_EQ(CentreOnScreen(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

}  // namespace
