// Bitmap blocks (BitmapTable 5174, BackgroundBitmap 5175) and the title
// blocks (5176 text, 5181 TitleStyle). Every DIB is an uncompressed,
// bottom-up BITMAPINFOHEADER, colour table and pixel rows.
#pragma once
#include <stdint.h>

#include "bytes.h"
#include "settings.h"

namespace wrenly::format {

namespace title_style {
inline constexpr uint32_t kShadowColour = 0;  // COLORREF
inline constexpr uint32_t kTextColour = 4;    // COLORREF
inline constexpr uint32_t kAlignment = 8;     // u32: 0 left, other right
inline constexpr uint32_t kFont = 12;         // LOGFONTA
inline constexpr uint32_t kSize = 72;
static_assert(kFont + logfont::kSize == kSize);
}  // namespace title_style

// BitmapTable: u32 count N, N u32 offsets (from the block's first byte, 0 none),
// then packed DIBs. Bitmaps are numbered from 1.
namespace bitmap_table {
inline constexpr uint32_t kCount = 0;
inline constexpr uint32_t kOffsets = 4;
}  // namespace bitmap_table

inline constexpr uint32_t kBitmapFileHeaderSize = 14;  // skipped in a BackgroundBitmap

namespace dib_header {
inline constexpr uint32_t kHeaderSize = 0;    // u32, 40
inline constexpr uint32_t kWidth = 4;         // i32
inline constexpr uint32_t kHeight = 8;        // i32, positive: bottom-up
inline constexpr uint32_t kPlanes = 12;       // u16, 1
inline constexpr uint32_t kBitCount = 14;     // u16
inline constexpr uint32_t kCompression = 16;  // u32, 0 = BI_RGB
inline constexpr uint32_t kImageSize = 20;    // u32
inline constexpr uint32_t kXPelsPerMeter = 24;
inline constexpr uint32_t kYPelsPerMeter = 28;
inline constexpr uint32_t kClrUsed = 32;  // u32
inline constexpr uint32_t kClrImportant = 36;
inline constexpr uint32_t kSize = 40;
static_assert(kClrImportant + 4 == kSize);
}  // namespace dib_header

struct DibInfo {
  int32_t width;
  int32_t height;
  uint16_t bitCount;
  uint32_t colourCount;  // entries in the colour table
  uint32_t pixelOffset;  // from the header's first byte
  uint32_t rowBytes;     // DWORD-aligned stride
  uint32_t totalSize;    // header + colour table + pixel rows
};

inline bool IsSupportedBitCount(uint32_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Checks a packed DIB at the start of `dib` and locates its pixel rows.
// Fails for anything the drawing code could misread: other header sizes,
// compression, top-down rows, an unsupported depth, rows beyond the range.
inline bool ParseDib(ByteView dib, DibInfo* out) {
  uint32_t headerSize, compression, clrUsed;
  int32_t width, height;
  uint16_t planes, bits;
  if (!dib.U32(dib_header::kHeaderSize, &headerSize) || headerSize != dib_header::kSize) return false;
  if (!dib.I32(dib_header::kWidth, &width) || !dib.I32(dib_header::kHeight, &height)) return false;
  if (!dib.U16(dib_header::kPlanes, &planes) || !dib.U16(dib_header::kBitCount, &bits)) return false;
  if (!dib.U32(dib_header::kCompression, &compression) || !dib.U32(dib_header::kClrUsed, &clrUsed)) return false;
  if (planes != 1 || compression != 0 || !IsSupportedBitCount(bits)) return false;
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return false;
  uint32_t colours = clrUsed;
  if (colours == 0 && bits <= 8) colours = 1u << bits;
  if (colours > 256) return false;
  uint64_t rowBytes = (((uint64_t)width * bits + 31) / 32) * 4;
  uint64_t pixelOffset = dib_header::kSize + 4ull * colours;
  uint64_t total = pixelOffset + rowBytes * (uint64_t)height;
  if (total > dib.size) return false;
  *out = DibInfo{width, height, bits, colours, (uint32_t)pixelOffset, (uint32_t)rowBytes, (uint32_t)total};
  return true;
}

}  // namespace wrenly::format
