#include "ui/background_math.h"

#include "format/settings.h"

namespace wf = wrenly::format;

const uint8_t DitherTable[8][8] = {
    {0, 3, 1, 4, 2, 5, 3, 6}, {7, 4, 6, 3, 5, 2, 4, 1}, {2, 5, 3, 6, 4, 7, 5, 0}, {1, 6, 0, 5, 7, 4, 6, 3},
    {4, 7, 5, 0, 6, 1, 7, 2}, {3, 0, 2, 7, 1, 6, 0, 5}, {6, 1, 7, 2, 0, 3, 1, 4}, {5, 2, 4, 1, 3, 0, 2, 7},
};

uint32_t GradientColour(uint32_t top, uint32_t bottom, int32_t t, int32_t height) {
  if (height <= 0) return top;
  if (t < 0) t = 0;
  if (t > height) t = height;
  // 64-bit: t^2 * 255 leaves 32 bits once a screen is about 2,900 rows high.
  int64_t t2 = (int64_t)t * t;
  int64_t h2 = (int64_t)height * height;
  uint32_t colour = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int64_t c1 = (top >> shift) & 0xFF;
    int64_t c2 = (bottom >> shift) & 0xFF;
    int64_t c = c1 + (t2 * (c2 - c1)) / h2;
    colour |= (uint32_t)(c & 0xFF) << shift;
  }
  return colour;
}

void DitherBandColours(uint32_t top, uint32_t bottom, int32_t y, int32_t height, uint32_t out[8]) {
  for (int32_t k = 0; k < 8; ++k) {
    int32_t t = y + 8 * k;
    if (t > height) t = height;
    out[k] = GradientColour(top, bottom, t, height);
  }
}

void FillDitherPattern(const uint32_t colours[8], uint8_t out[kDitherPatternBytes]) {
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) {
      uint32_t colour = colours[DitherTable[r][c] & 7];
      uint8_t* pixel = out + (r * 8 + c) * 3;
      pixel[0] = (uint8_t)(colour >> 16);
      pixel[1] = (uint8_t)(colour >> 8);
      pixel[2] = (uint8_t)colour;
    }
  }
}

int32_t DitherBandCount(int32_t height) {
  if (height <= 0) return 0;
  return (height + kDitherBandRows - 1) / kDitherBandRows;
}

static int32_t TilesAcross(int32_t from, int32_t to, int32_t size) {
  if (size <= 0 || to <= from) return 0;
  return (int32_t)(((int64_t)to - from + size - 1) / size);
}

BitmapPlacement PlaceBackgroundBitmap(const UiRect& client, int32_t w, int32_t h, uint32_t flags) {
  BitmapPlacement p{};
  p.first = UiRect{client.left, client.top, client.left + w, client.top + h};
  if (flags & wf::kSetBitmapTile) {
    p.mode = kBitmapTiled;
    p.columns = TilesAcross(client.left, client.right, w);
    p.rows = TilesAcross(client.top, client.bottom, h);
    if (p.columns == 0 || p.rows == 0) p.columns = p.rows = 0;
    return p;
  }
  if (flags & wf::kSetBitmapStretch) {
    p.mode = kBitmapStretched;
    p.first = client;
    p.halftone = client.right - client.left != w || client.bottom - client.top != h;
    return p;
  }
  p.mode = kBitmapUnscaled;
  int32_t x = client.left;
  int32_t y = client.top;
  if (flags & wf::kSetBitmapCentreX) x = (client.right - w - client.left) / 2;
  if (flags & wf::kSetBitmapRight) x = client.right - w;
  if (flags & wf::kSetBitmapCentreY) y = (client.bottom - client.top - h) / 2;
  if (flags & wf::kSetBitmapBottom) y = client.bottom - h;
  p.first = UiRect{x, y, x + w, y + h};
  return p;
}

UiRect TileRect(const BitmapPlacement& placement, int32_t column, int32_t row) {
  int32_t w = placement.first.right - placement.first.left;
  int32_t h = placement.first.bottom - placement.first.top;
  int32_t x = placement.first.left + column * w;
  int32_t y = placement.first.top + row * h;
  return UiRect{x, y, x + w, y + h};
}

TitleLayout PlaceTitle(int32_t screenWidth, int32_t screenHeight, uint32_t alignment) {
  TitleLayout t{};
  t.shadow = UiRect{14, 14, screenWidth - 14, screenHeight - 14};
  t.text = UiRect{10, 10, screenWidth - 14, screenHeight - 14};
  t.format = kTitleFormat | (alignment != 0 ? kTitleFormatRight : 0);
  return t;
}
