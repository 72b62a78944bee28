// The background: its gradient, dither band and style, bitmaps looked up in
// their blocks and placed by the settings, and the title; the geometry of the
// wizard's controls, panels, panel bitmaps and decoration.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "format/bytes.h"
#include "format/settings.h"
#include "ui/background_math.h"
#include "ui/layout_geometry.h"
#include "ui/panel_bitmap.h"

static void PrintTo(const UiRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

namespace wf = wrenly::format;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kBlue = 0x00FF0000;

// Each row's colour, quadratic per channel and truncated; the dither band's colours, whose pattern as painted is
// the Wine scenario's screenshot check, which takes them as given; the style by flags and display depth.
TEST(Gradient, ColoursBandsAndStyle) {
  const int64_t cases[][5] = {
      // top, bottom, row t, height, colour; t is held to 0..height, a height below 1 gives the top
      {kBlue, 0, 50, 100, 0x00C00000},
      {kBlue, 0, 140, 100, 0},
      {kBlue, 0, -5, 100, kBlue},
      {0x00123456, 0, 5, -3, 0x00123456},
      {0x00102030, 0x00F0E0D0, 4, 8, 0x00485058},
      {0x00F0E0D0, 0x00102030, 4, 8, 0x00B8B0A8},
      {0, 0x000000FF, 3999, 4000, 0x000000FE},  // t^2 * 255 > 2^32
  };
  for (auto& c : cases)
    EXPECT_EQ(GradientColour(uint32_t(c[0]), uint32_t(c[1]), int32_t(c[2]), int32_t(c[3])), c[4]) << c[2];
  uint32_t colours[8];
  DitherBandColours(kBlue, 0xFF, 0, 20, colours);  // rows 0, 8, 16, then held at 20
  for (int k = 0; k < 8; ++k) EXPECT_EQ(colours[k], GradientColour(kBlue, 0xFF, k < 3 ? 8 * k : 20, 20)) << k;
  const int32_t bands[][2] = {{-4, 0}, {8, 1}, {9, 2}};  // rows, bands
  for (const auto& c : bands) EXPECT_EQ(DitherBandCount(c[0]), c[1]) << c[0];
  const uint32_t mode = wf::kSetBackgroundMode | wf::kSetMaximised, gradient = wf::kSetGradient | wf::kSetMaximised;
  const std::tuple<uint32_t, int, bool, GradientStyle> styles[] = {// flags, display bits, forced, style
                                                                   {mode, 32, false, kGradientSolid},
                                                                   {gradient, 16, false, kGradientDithered},
                                                                   {gradient, 8, false, kGradientPerLine},
                                                                   {gradient, 32, true, kGradientPerLine},
                                                                   {wf::kSetMaximised, 8, true, kGradientSolid}};
  for (auto& [flags, bits, forced, style] : styles)
    EXPECT_EQ(ChooseGradientStyle(flags, bits, forced), style) << flags << " " << bits << " " << forced;
}

TEST(BackgroundBitmap, PlacedByTheSettingsFlags) {
  // Flags, w, h, then the mode, the first tile's left, top, right and bottom, the columns and rows.
  using namespace wf;
  const std::array<int32_t, 10> cases[] = {
      {kSetBitmapCentreX | kSetBitmapRight, 100, 50, kBitmapUnscaled, 700, 0, 800, 50, 0, 0},  // right wins
      {kSetBitmapCentreY | kSetBitmapBottom, 100, 50, kBitmapUnscaled, 0, 550, 100, 600, 0, 0},
      {kSetBitmapCentreX | kSetBitmapCentreY, 101, 51, kBitmapUnscaled, 349, 274, 450, 325, 0, 0},
      {kSetBitmapTile | kSetBitmapStretch, 130, 70, kBitmapTiled, 0, 0, 130, 70, 7, 9},  // tile wins over stretch
      {kSetBitmapTile, 900, 700, kBitmapTiled, 0, 0, 900, 700, 1, 1},
      {kSetBitmapTile, 0, 50, kBitmapTiled, 0, 0, 0, 50, 0, 0},
      {kSetBitmapStretch, 100, 50, kBitmapStretched, 0, 0, 800, 600, 0, 0},  // halftone
      {kSetBitmapStretch, 800, 600, kBitmapStretched, 0, 0, 800, 600, 0, 0},
  };
  for (auto& c : cases) {
    BitmapPlacement p = PlaceBackgroundBitmap(UiRect{0, 0, 800, 600}, c[1], c[2], uint32_t(c[0]));
    EXPECT_EQ((std::array<int32_t, 10>{c[0], c[1], c[2], p.mode, p.first.left, p.first.top, p.first.right,
                                       p.first.bottom, p.columns, p.rows}),
              c);
    EXPECT_EQ(p.halftone, c[0] == kSetBitmapStretch && c[1] != 800);
  }
  // The title: any alignment but 0 is right aligned.
  EXPECT_EQ(std::pair(PlaceTitle(1024, 768, 0).format, PlaceTitle(1024, 768, 7).format), std::pair(0x900u, 0x902u));
}

// A packed 24-bit DIB of w x h pixels (each below 256).
Bytes Dib(int32_t w, int32_t h) {
  Bytes d(40 + ((w * 24 + 31) / 32) * 4 * h);
  for (auto [at, value] : {std::pair{0, 40}, {4, w}, {8, h}, {12, 1}, {14, 24}}) d[at] = uint8_t(value);
  return d;
}

// The count, then an offset per DIB, then the DIBs.
Bytes Table(uint32_t count, std::vector<Bytes> dibs) {
  Bytes t(4 + 4 * dibs.size());
  wf::StoreU32(t.data(), count);
  for (size_t i = 0; i < dibs.size(); ++i)
    wf::StoreU32(t.data() + 4 + 4 * i, uint32_t(t.size())), t.insert(t.end(), dibs[i].begin(), dibs[i].end());
  return t;
}

// In the bitmap table by number, or after a file's header.
TEST(FindBitmap, OnlyWhatLiesWhollyInTheBlock) {
  const Bytes two = Table(2, {Dib(140, 16), Dib(57, 57)});
  Bytes cut = Table(1, {Dib(57, 57)});
  cut.pop_back();
  const std::tuple<Bytes, uint32_t, int32_t> cases[] = {
      // table, number, width found (0: none)
      {two, 1, 140},
      {two, 2, 57},
      {two, 0, 0},
      {two, 3, 0},
      {cut, 1, 0},
      {{1, 0, 0, 0, 0, 0, 0, 0}, 1, 0},
      {{1, 0, 0, 0, 0xA0, 0x86, 0x01, 0}, 1, 0},  // offsets 0 and 100000
      {Table(1000, {Dib(8, 8)}), 900, 0},
      {{1, 0, 0, 0}, 1, 0},
      {{}, 1, 0},
      {Table(0x40000002u, {Dib(8, 8)}), 0x40000001u, 0},  // 4 * (number - 1) would wrap
  };
  for (auto& [table, number, width] : cases) {
    FoundDib found{};
    bool ok = FindTableBitmap(table.empty() ? nullptr : table.data(), uint32_t(table.size()), number, &found);
    EXPECT_EQ(ok ? found.info.width : 0, width) << table.size() << " " << number;
    if (ok) EXPECT_LE(found.header + found.info.totalSize, table.data() + table.size());
  }
  Bytes file(14, 'B'), dib = Dib(64, 48);
  file.insert(file.end(), dib.begin(), dib.end());
  FoundDib found{};
  EXPECT_TRUE(FindBackgroundDib(file.data(), uint32_t(file.size()), &found) && found.header == file.data() + 14);
  EXPECT_FALSE(FindBackgroundDib(file.data(), 14, &found) || FindBackgroundDib(nullptr, 0, &found));
}

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
