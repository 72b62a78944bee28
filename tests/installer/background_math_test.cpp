// The background's gradient, dither band, bitmap placement and title.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "ui/background_math.h"

namespace {

constexpr uint32_t kBlue = 0x00FF0000;

TEST(GradientColour, QuadraticPerChannelTruncating) {
  const int64_t cases[][5] = {
      // top, bottom, row t, height, colour; t is held to 0..height, a height below 1 gives the top
      {kBlue, 0, 50, 100, 0x00C00000}, {kBlue, 0, 140, 100, 0}, {kBlue, 0, -5, 100, kBlue},
      {0x00123456, 0, 5, -3, 0x00123456},  {0x00102030, 0x00F0E0D0, 4, 8, 0x00485058},
      {0x00F0E0D0, 0x00102030, 4, 8, 0x00B8B0A8}, {0, 0x000000FF, 3999, 4000, 0x000000FE},  // t^2 * 255 > 2^32
  };
  for (auto& c : cases)
    EXPECT_EQ(GradientColour(uint32_t(c[0]), uint32_t(c[1]), int32_t(c[2]), int32_t(c[3])), c[4]) << c[2];
}

TEST(DitherBand, ColoursEightRowsApartEachEightTimesAsBlueGreenRed) {
  uint32_t colours[8];
  DitherBandColours(kBlue, 0xFF, 0, 20, colours);  // rows 0, 8, 16, then held at 20
  for (int k = 0; k < 8; ++k) EXPECT_EQ(colours[k], GradientColour(kBlue, 0xFF, k < 3 ? 8 * k : 20, 20)) << k;
  for (uint32_t k = 0; k < 8; ++k) colours[k] = k | (10 + k) << 8 | (20 + k) << 16;  // red = k
  uint8_t pattern[kDitherPatternBytes];
  FillDitherPattern(colours, pattern);
  int counts[8] = {};
  std::vector<uint8_t> expected;
  for (int i = 0; i < 64; ++i) {
    int k = DitherTable[i / 8][i % 8] & 7;
    ++counts[k];
    expected.insert(expected.end(), {uint8_t(20 + k), uint8_t(10 + k), uint8_t(k)});
  }
  EXPECT_EQ(std::vector<uint8_t>(pattern, pattern + kDitherPatternBytes), expected);
  EXPECT_EQ(std::vector<int>(counts, counts + 8), std::vector<int>(8, 8));
  const int32_t bands[][2] = {{-4, 0}, {8, 1}, {9, 2}};  // rows, bands
  for (const auto& c : bands) EXPECT_EQ(DitherBandCount(c[0]), c[1]) << c[0];
}

TEST(BackgroundBitmap, PlacedByTheSettingsFlags) {
  // Flags, w, h, then the mode, the first tile's left, top, right and bottom, the columns and rows.
  const std::array<int32_t, 10> cases[] = {
      {0x300, 100, 50, kBitmapUnscaled, 700, 0, 800, 50, 0, 0},  // right wins over centring
      {0x3000, 100, 50, kBitmapUnscaled, 0, 550, 100, 600, 0, 0},
      {0x1100, 101, 51, kBitmapUnscaled, 349, 274, 450, 325, 0, 0},
      {0x60, 130, 70, kBitmapTiled, 0, 0, 130, 70, 7, 9},  // tile wins over stretch
      {0x40, 900, 700, kBitmapTiled, 0, 0, 900, 700, 1, 1}, {0x40, 0, 50, kBitmapTiled, 0, 0, 0, 50, 0, 0},
      {0x20, 100, 50, kBitmapStretched, 0, 0, 800, 600, 0, 0},  // halftone
      {0x20, 800, 600, kBitmapStretched, 0, 0, 800, 600, 0, 0},
  };
  for (auto& c : cases) {
    BitmapPlacement p = PlaceBackgroundBitmap(UiRect{0, 0, 800, 600}, c[1], c[2], uint32_t(c[0]));
    EXPECT_EQ((std::array<int32_t, 10>{c[0], c[1], c[2], p.mode, p.first.left, p.first.top, p.first.right,
                                       p.first.bottom, p.columns, p.rows}), c);
    EXPECT_EQ(p.halftone, c[0] == 0x20 && c[1] != 800);
  }
  // The title: any alignment but 0 is right aligned.
  EXPECT_EQ(std::pair(PlaceTitle(1024, 768, 0).format, PlaceTitle(1024, 768, 7).format), std::pair(0x900u, 0x902u));
}

}  // namespace
