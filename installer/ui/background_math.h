// The numbers behind the background window's picture: gradient colours, the
// dither pattern of one band, where the bitmap goes, where the title goes.
#pragma once
#include <stdint.h>

#include "ui/ui_rect.h"

// Each value 0..7 eight times; spreads a band's eight colours evenly. A
// constant, defined once in background_math.cpp.
extern const uint8_t DitherTable[8][8];

inline constexpr int32_t kDitherBandRows = 8;
inline constexpr uint32_t kDitherPatternBytes = 8 * 8 * 3;  // 24-bit pixels, rows already 4-aligned

// Colour of row t of a gradient of `height` rows: per channel
// c1 + t^2 (c2 - c1) / height^2, quadratic, reaching `bottom` at row `height`.
// t is held to 0..height; a height of 0 or less gives `top`.
uint32_t GradientColour(uint32_t top, uint32_t bottom, int32_t t, int32_t height);

// The eight colours of the band starting at row y: colour k from row y + 8k,
// never beyond row `height`.
void DitherBandColours(uint32_t top, uint32_t bottom, int32_t y, int32_t height, uint32_t out[8]);

// The pixel rows of the 8 x 8 bottom-up 24-bit pattern: stored row r holds
// DitherTable row r, column c colour DitherTable[r][c], as blue, green, red.
void FillDitherPattern(const uint32_t colours[8], uint8_t out[kDitherPatternBytes]);

// Bands to fill for a client area of `height` rows (each 8 rows from row 0).
int32_t DitherBandCount(int32_t height);

enum BitmapDrawMode { kBitmapUnscaled, kBitmapTiled, kBitmapStretched };

struct BitmapPlacement {
  BitmapDrawMode mode;
  UiRect first;     // unscaled: the one draw; tiled: the top-left tile; stretched: the client
  int32_t columns;  // tiled: tiles per row
  int32_t rows;     // tiled: rows of tiles
  bool halftone;    // stretched to another size: draw with the halftone stretch mode
};

// Placement of a w x h bitmap in `client` by the settings flags (tile wins
// over stretch; right/bottom alignment wins over centring).
BitmapPlacement PlaceBackgroundBitmap(const UiRect& client, int32_t w, int32_t h, uint32_t flags);

// Tile (column, row) of a tiled placement.
UiRect TileRect(const BitmapPlacement& placement, int32_t column, int32_t row);

struct TitleLayout {
  UiRect shadow;
  UiRect text;
  uint32_t format;  // DrawText format bits
};

inline constexpr uint32_t kTitleFormat = 0x900;       // no prefix, no clip
inline constexpr uint32_t kTitleFormatRight = 0x002;  // right aligned

// The title's two rectangles come from the screen size, not the client size.
TitleLayout PlaceTitle(int32_t screenWidth, int32_t screenHeight, uint32_t alignment);
