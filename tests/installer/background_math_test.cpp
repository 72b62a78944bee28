// The background's gradient, dither band, bitmap placement and title boxes.
#include <gtest/gtest.h>

#include "ui/background_math.h"

namespace {

constexpr uint32_t kBlue = 0x00FF0000;

struct GradientCase {
  uint32_t top, bottom;
  int32_t t, height;
  uint32_t expected;
};

TEST(GradientColour, QuadraticPerChannelTruncating) {
  const GradientCase cases[] = {
      {kBlue, 0, 0, 100, kBlue},                    // top row is the top colour
      {kBlue, 0, 10, 100, 0x00FD0000},              // 255 - 100*255/10000 = 253
      {kBlue, 0, 50, 100, 0x00C00000},              // 255 - 63
      {kBlue, 0, 99, 100, 0x00060000},              // falls fast near the bottom
      {kBlue, 0, 100, 100, 0},                      // bottom colour reached at row H
      {kBlue, 0, 140, 100, 0},                      // below the client: held at H
      {kBlue, 0, -5, 100, kBlue},                   // above the client: held at 0
      {0x00102030, 0x00F0E0D0, 4, 8, 0x00485058},   // each channel on its own
      {0x00F0E0D0, 0x00102030, 4, 8, 0x00B8B0A8},   // falling channels
      {0, 0x000000FF, 3999, 4000, 0x000000FE},      // t^2 * 255 beyond 32 bits
      {0x00123456, 0, 0, 0, 0x00123456},            // no rows: no division
      {0x00123456, 0, 5, -3, 0x00123456},
  };
  for (const GradientCase& c : cases)
    EXPECT_EQ(GradientColour(c.top, c.bottom, c.t, c.height), c.expected)
        << "t " << c.t << " of " << c.height;
}

TEST(DitherBand, ColoursAreSampledEightRowsApartAndHeldAtTheBottom) {
  struct Case {
    int32_t y, height;
    int32_t rows[8];
  };
  const Case cases[] = {
      {0, 600, {0, 8, 16, 24, 32, 40, 48, 56}},
      {592, 600, {592, 600, 600, 600, 600, 600, 600, 600}},
      {0, 20, {0, 8, 16, 20, 20, 20, 20, 20}},
  };
  for (const Case& c : cases) {
    uint32_t colours[8];
    DitherBandColours(kBlue, 0x000000FF, c.y, c.height, colours);
    for (int k = 0; k < 8; ++k)
      EXPECT_EQ(colours[k], GradientColour(kBlue, 0x000000FF, c.rows[k], c.height))
          << "band " << c.y << " colour " << k;
  }
}

TEST(DitherBand, BandsCoverEveryRowOnce) {
  const int32_t cases[][2] = {{0, 0}, {-4, 0}, {1, 1}, {8, 1}, {9, 2}, {600, 75}, {601, 76}};
  for (const auto& c : cases) EXPECT_EQ(DitherBandCount(c[0]), c[1]) << c[0];
}

TEST(DitherTable, EachValueEightTimesAndRowsAsPublished) {
  int counts[8] = {};
  for (const auto& row : DitherTable)
    for (uint8_t v : row) {
      ASSERT_LT(v, 8);
      ++counts[v];
    }
  for (int v = 0; v < 8; ++v) EXPECT_EQ(counts[v], 8) << v;
  const uint8_t first[8] = {0, 3, 1, 4, 2, 5, 3, 6};
  const uint8_t last[8] = {5, 2, 4, 1, 3, 0, 2, 7};
  for (int c = 0; c < 8; ++c) {
    EXPECT_EQ(DitherTable[0][c], first[c]);
    EXPECT_EQ(DitherTable[7][c], last[c]);
  }
}

TEST(DitherPattern, StoredRowsFollowTheTableAsBlueGreenRed) {
  uint32_t colours[8];
  for (uint32_t k = 0; k < 8; ++k) colours[k] = k | (10 + k) << 8 | (20 + k) << 16;  // red = k
  uint8_t pattern[kDitherPatternBytes];
  FillDitherPattern(colours, pattern);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) {
      const uint8_t* pixel = pattern + (r * 8 + c) * 3;
      uint8_t k = DitherTable[r][c];
      EXPECT_EQ(pixel[0], 20 + k) << r << "," << c;  // blue first
      EXPECT_EQ(pixel[1], 10 + k) << r << "," << c;
      EXPECT_EQ(pixel[2], k) << r << "," << c;
    }
}

struct PlacementCase {
  const char* name;
  uint32_t flags;
  int32_t w, h;
  BitmapDrawMode mode;
  UiRect first;
  int32_t columns, rows;
  bool halftone;
};

TEST(BackgroundBitmap, PlacedByTheSettingsFlags) {
  const UiRect screen{0, 0, 800, 600};
  const PlacementCase cases[] = {
      {"top-left", 0, 100, 50, kBitmapUnscaled, {0, 0, 100, 50}, 0, 0, false},
      {"centre x", 0x100, 100, 50, kBitmapUnscaled, {350, 0, 450, 50}, 0, 0, false},
      {"right wins", 0x300, 100, 50, kBitmapUnscaled, {700, 0, 800, 50}, 0, 0, false},
      {"centre y", 0x1000, 100, 50, kBitmapUnscaled, {0, 275, 100, 325}, 0, 0, false},
      {"bottom wins", 0x3000, 100, 50, kBitmapUnscaled, {0, 550, 100, 600}, 0, 0, false},
      {"larger, centred", 0x1100, 1000, 700, kBitmapUnscaled, {-100, -50, 900, 650}, 0, 0, false},
      {"odd centre", 0x1100, 101, 51, kBitmapUnscaled, {349, 274, 450, 325}, 0, 0, false},
      {"tile", 0x40, 100, 50, kBitmapTiled, {0, 0, 100, 50}, 8, 12, false},
      {"tile wins", 0x60, 130, 70, kBitmapTiled, {0, 0, 130, 70}, 7, 9, false},
      {"tile larger", 0x40, 900, 700, kBitmapTiled, {0, 0, 900, 700}, 1, 1, false},
      {"tile empty", 0x40, 0, 50, kBitmapTiled, {0, 0, 0, 50}, 0, 0, false},
      {"stretch", 0x20, 100, 50, kBitmapStretched, {0, 0, 800, 600}, 0, 0, true},
      {"stretch same", 0x20, 800, 600, kBitmapStretched, {0, 0, 800, 600}, 0, 0, false},
  };
  for (const PlacementCase& c : cases) {
    BitmapPlacement p = PlaceBackgroundBitmap(screen, c.w, c.h, c.flags);
    EXPECT_EQ(p.mode, c.mode) << c.name;
    EXPECT_EQ(p.first, c.first) << c.name;
    EXPECT_EQ(p.columns, c.columns) << c.name;
    EXPECT_EQ(p.rows, c.rows) << c.name;
    EXPECT_EQ(p.halftone, c.halftone) << c.name;
  }
}

TEST(BackgroundBitmap, TilesStartAtTheClientCornerAndReachPastTheEdges) {
  BitmapPlacement p = PlaceBackgroundBitmap(UiRect{0, 0, 800, 600}, 130, 70, 0x40);
  EXPECT_EQ(TileRect(p, 0, 0), (UiRect{0, 0, 130, 70}));
  EXPECT_EQ(TileRect(p, 6, 8), (UiRect{780, 560, 910, 630}));
  EXPECT_LT(TileRect(p, p.columns - 1, 0).left, 800);
  EXPECT_LT(TileRect(p, 0, p.rows - 1).top, 600);
}

TEST(Title, ShadowAndTextBoxesComeFromTheScreen) {
  struct Case {
    uint32_t alignment;
    uint32_t format;
  };
  const Case cases[] = {{0, 0x900}, {1, 0x902}, {7, 0x902}};
  for (const Case& c : cases) {
    TitleLayout t = PlaceTitle(1024, 768, c.alignment);
    EXPECT_EQ(t.shadow, (UiRect{14, 14, 1010, 754}));
    EXPECT_EQ(t.text, (UiRect{10, 10, 1010, 754}));
    EXPECT_EQ(t.format, c.format) << c.alignment;
  }
}

}  // namespace
