// Finding a drawable DIB in the bitmap blocks. Anything that would make the
// drawing read past its block counts as no bitmap.
#pragma once
#include <stdint.h>

#include "format/bitmaps.h"

struct FoundDib {
  const uint8_t* header;  // the BITMAPINFOHEADER
  wrenly::format::DibInfo info;
};

// Bitmap `number` (from 1) of a BitmapTable; 0, a number beyond the count,
// an offset of 0 or a DIB that does not fit its block: none.
bool FindTableBitmap(const uint8_t* table, uint32_t size, uint32_t number, FoundDib* out);

// The BackgroundBitmap: a .bmp file image whose 14-byte file header is skipped.
bool FindBackgroundDib(const uint8_t* block, uint32_t size, FoundDib* out);

enum GradientStyle { kGradientSolid, kGradientPerLine, kGradientDithered };

// Solid without the gradient flag; per line on palette displays and where
// pattern brushes misbehave (the NT 4.0 flag); dithered otherwise.
GradientStyle ChooseGradientStyle(uint32_t settingsFlags, int displayBits, bool perLineForced);
