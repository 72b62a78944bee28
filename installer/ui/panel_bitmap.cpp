#include "ui/panel_bitmap.h"

#include "format/settings.h"

namespace wf = wrenly::format;

static bool ParseAt(const uint8_t* block, uint32_t size, uint32_t offset, FoundDib* out) {
  if (!block || offset >= size) return false;
  wf::ByteView dib{block + offset, size - offset};
  if (!wf::ParseDib(dib, &out->info)) return false;
  out->header = block + offset;
  return true;
}

bool FindTableBitmap(const uint8_t* table, uint32_t size, uint32_t number, FoundDib* out) {
  wf::ByteView v{table, size};
  uint32_t count, offset;
  if (!table || number == 0 || !v.U32(wf::bitmap_table::kCount, &count) || number > count) return false;
  uint64_t at = wf::bitmap_table::kOffsets + 4ull * (number - 1);  // a huge count must not wrap
  if (at > size || !v.U32((uint32_t)at, &offset) || offset == 0) return false;
  return ParseAt(table, size, offset, out);
}

bool FindBackgroundDib(const uint8_t* block, uint32_t size, FoundDib* out) {
  return ParseAt(block, size, wf::kBitmapFileHeaderSize, out);
}

GradientStyle ChooseGradientStyle(uint32_t settingsFlags, int displayBits, bool perLineForced) {
  if (!(settingsFlags & wf::kSetGradient)) return kGradientSolid;
  if (displayBits <= 8 || perLineForced) return kGradientPerLine;
  return kGradientDithered;
}
