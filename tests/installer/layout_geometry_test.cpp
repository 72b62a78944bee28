// Control, panel, panel-bitmap and decoration geometry of the wizard.
#include "ui/layout_geometry.h"

#include <gtest/gtest.h>

#include <array>

#include "format/settings.h"

static void PrintTo(const UiRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

namespace wf = wrenly::format;
const WizardSize kWizard{490, 348, 48};
constexpr int32_t kFill = wf::control_record::kSpecialSize;

TEST(PlacePanels, SideHeaderPageButtonBarAndFillingControl) {
  PagePanels p = PlacePanels(kWizard, 100, 40);  // the side's width and the header's height
  EXPECT_EQ((std::array{p.side, p.header, p.page, p.buttonBar}),
            (std::array<UiRect, 4>{{{0, 0, 100, 300}, {100, 0, 490, 40}, {100, 40, 490, 300}, {0, 300, 490, 348}}}));
  EXPECT_EQ(std::tuple(p.sideShown, p.headerShown, PlacePanels(kWizard, 0, 40).sideShown,
                       PlacePanels(kWizard, 100, 0).headerShown),
            std::tuple(true, true, false, false));
  ControlPlace fill = PlaceControl(20, 30, kFill, 0, kWizard), stored = PlaceControl(10, 10, 20, kFill, kWizard);
  EXPECT_EQ((std::array{fill.x, fill.y, fill.width, fill.height, stored.width, stored.height}),
            (std::array{20, 30, 474, 290, 10, 65525}));
}

TEST(PanelBitmaps, HeaderMarginAndEndSideCutOrCentred) {
  const uint32_t endCentred = wf::kLayHeaderBitmapRight | wf::kLayHeaderBitmapCentredY;
  const std::tuple<bool, uint32_t, int32_t, int32_t, UiRect> cases[] = {
      // header?, flags, w, h, place
      // In a 490 x 60 header: centred y keeps the same margin at the end, unless taller than the header.
      {true, endCentred, 57, 57, {432, 1, 489, 58}},
      {true, endCentred, 57, 80, {433, -10, 490, 70}},
      {true, wf::kLayHeaderBitmapCentredY, 57, 54, {3, 3, 60, 57}},
      // In a 139 x 300 side panel.
      {false, wf::kLaySideBitmapCentred, 140, 316, {0, -8, 140, 308}},
      {false, 0, 140, 316, {0, 0, 139, 300}},
  };
  for (auto& [header, flags, w, h, place] : cases)
    EXPECT_EQ(header ? HeaderBitmapRect(flags, w, h, 490, 60) : SideBitmapRect(flags, w, h, 139, 300), place)
        << header << " " << std::hex << flags << " " << w << "x" << h;
}

TEST(Decoration, ShadesHalveEachChannelOrAreTheSystemsPair) {
  PanelShades own = DecorationShades(0x00FF0101, 1, 2), system = DecorationShades(wf::kSystemColour, 1, 2);
  EXPECT_EQ(std::tuple(own.dark, own.light, system.dark, system.light), std::tuple(0x7F0000u, 0xFFFFFFu, 1u, 2u));
}

TEST(WindowPlacement, CentredButNeverOutsideTheOwnerOrTheScreen) {
  const int32_t within[][4] = {// half, outer, limit, left
                               {512, 496, 1024, 264},
                               {512, 496, 400, 0},
                               {300, 100, 320, 220},
                               {40, 100, 1024, 0}};
  for (auto& c : within) EXPECT_EQ(CentreWithin(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1];
  const int32_t screen[][3] = {{1025, 500, 262}, {401, 500, 0}};
  for (auto& c : screen) EXPECT_EQ(CentreOnScreen(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

}  // namespace
