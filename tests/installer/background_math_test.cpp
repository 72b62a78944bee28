// The background's gradient, dither band, bitmap placement and title boxes.
#include <gtest/gtest.h>

#include <vector>

#include "ui/background_math.h"

namespace {

constexpr uint32_t kBlue = 0x00FF0000;

TEST(GradientColour, QuadraticPerChannelTruncating) {
  const int64_t cases[][5] = {
      // top, bottom, row t, height, colour; t is held to 0..height, a height below 1 gives the top
      {kBlue, 0, 0, 100, kBlue},   {kBlue, 0, 10, 100, 0x00FD0000}, {kBlue, 0, 50, 100, 0x00C00000},
      {kBlue, 0, 100, 100, 0},     {kBlue, 0, 140, 100, 0},         {kBlue, 0, -5, 100, kBlue},
      {0x00102030, 0x00F0E0D0, 4, 8, 0x00485058}, {0x00F0E0D0, 0x00102030, 4, 8, 0x00B8B0A8},
      {0, 0x000000FF, 3999, 4000, 0x000000FE},  // t^2 * 255 beyond 32 bits
      {0x00123456, 0, 0, 0, 0x00123456},          {0x00123456, 0, 5, -3, 0x00123456},
  };
  for (auto& c : cases)
    EXPECT_EQ(GradientColour(uint32_t(c[0]), uint32_t(c[1]), int32_t(c[2]), int32_t(c[3])), c[4])
        << "t " << c[2] << " of " << c[3];
}

TEST(DitherBand, ColoursEightRowsApartHeldAtTheBottomAndBandsCoverEveryRowOnce) {
  uint32_t colours[8];
  DitherBandColours(kBlue, 0x000000FF, 0, 20, colours);
  const int32_t rows[8] = {0, 8, 16, 20, 20, 20, 20, 20};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(colours[k], GradientColour(kBlue, 0x000000FF, rows[k], 20)) << k;
  const int32_t counts[][2] = {{0, 0}, {-4, 0}, {1, 1}, {8, 1}, {9, 2}, {600, 75}, {601, 76}};
  for (const auto& c : counts) EXPECT_EQ(DitherBandCount(c[0]), c[1]) << c[0];
}

TEST(DitherPattern, EachColourEightTimesAsBlueGreenRed) {
  uint32_t colours[8];
  for (uint32_t k = 0; k < 8; ++k) colours[k] = k | (10 + k) << 8 | (20 + k) << 16;  // red = k
  uint8_t pattern[kDitherPatternBytes];
  FillDitherPattern(colours, pattern);
  int counts[8] = {};
  for (int i = 0; i < 64; ++i) {
    const uint8_t* pixel = pattern + i * 3;
    uint8_t k = DitherTable[i / 8][i % 8];
    ASSERT_LT(k, 8);
    ++counts[k];
    EXPECT_EQ(std::vector<int>({pixel[0], pixel[1], pixel[2]}), std::vector<int>({20 + k, 10 + k, k})) << i;
  }
  for (int k = 0; k < 8; ++k) EXPECT_EQ(counts[k], 8) << k;
}

TEST(BackgroundBitmap, PlacedByTheSettingsFlags) {
  struct {
    uint32_t flags;
    int32_t w, h;
    BitmapDrawMode mode;
    UiRect first;
    int32_t columns, rows;
    bool halftone;
  } cases[] = {
      {0, 100, 50, kBitmapUnscaled, {0, 0, 100, 50}, 0, 0, false},
      {0x300, 100, 50, kBitmapUnscaled, {700, 0, 800, 50}, 0, 0, false},  // right wins over centring
      {0x3000, 100, 50, kBitmapUnscaled, {0, 550, 100, 600}, 0, 0, false},
      {0x1100, 101, 51, kBitmapUnscaled, {349, 274, 450, 325}, 0, 0, false},
      {0x40, 100, 50, kBitmapTiled, {0, 0, 100, 50}, 8, 12, false},
      {0x60, 130, 70, kBitmapTiled, {0, 0, 130, 70}, 7, 9, false},  // tile wins over stretch
      {0x40, 900, 700, kBitmapTiled, {0, 0, 900, 700}, 1, 1, false},
      {0x40, 0, 50, kBitmapTiled, {0, 0, 0, 50}, 0, 0, false},
      {0x20, 100, 50, kBitmapStretched, {0, 0, 800, 600}, 0, 0, true},
      {0x20, 800, 600, kBitmapStretched, {0, 0, 800, 600}, 0, 0, false},
  };
  for (auto& c : cases) {
    BitmapPlacement p = PlaceBackgroundBitmap(UiRect{0, 0, 800, 600}, c.w, c.h, c.flags);
    EXPECT_TRUE(p.mode == c.mode && p.first == c.first && p.halftone == c.halftone) << std::hex << c.flags;
    EXPECT_EQ(std::pair(p.columns, p.rows), std::pair(c.columns, c.rows)) << std::hex << c.flags;
  }
  BitmapPlacement p = PlaceBackgroundBitmap(UiRect{0, 0, 800, 600}, 130, 70, 0x40);
  EXPECT_EQ(TileRect(p, 6, 8), (UiRect{780, 560, 910, 630}));
}

TEST(Title, BoxesFromTheScreenRightAlignedByAnyAlignment) {
  for (uint32_t alignment : {0u, 1u, 7u}) {
    TitleLayout t = PlaceTitle(1024, 768, alignment);
    EXPECT_TRUE(t.shadow == (UiRect{14, 14, 1010, 754}) && t.text == (UiRect{10, 10, 1010, 754}));
    EXPECT_EQ(t.format, alignment ? 0x902u : 0x900u) << alignment;
  }
}

}  // namespace
