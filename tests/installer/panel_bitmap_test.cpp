// Looking bitmaps up in their blocks, and the background's gradient style.
#include <gtest/gtest.h>

#include <vector>

#include "format/bytes.h"
#include "ui/panel_bitmap.h"

namespace {

namespace wf = wrenly::format;
using Bytes = std::vector<uint8_t>;

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
  for (size_t i = 0; i < dibs.size(); ++i) {
    wf::StoreU32(t.data() + 4 + 4 * i, uint32_t(t.size()));
    t.insert(t.end(), dibs[i].begin(), dibs[i].end());
  }
  return t;
}

TEST(FindTableBitmap, OnlyWhatLiesWhollyInTheBlock) {
  const Bytes two = Table(2, {Dib(140, 16), Dib(57, 57)});
  Bytes cut = Table(1, {Dib(57, 57)});
  cut.pop_back();
  const std::tuple<Bytes, uint32_t, int32_t> cases[] = {  // table, number, width found (0: none)
      {two, 1, 140}, {two, 2, 57}, {two, 0, 0}, {two, 3, 0}, {cut, 1, 0},
      {{1, 0, 0, 0, 0, 0, 0, 0}, 1, 0}, {{1, 0, 0, 0, 0xA0, 0x86, 0x01, 0}, 1, 0},  // offsets 0 and 100000
      {Table(1000, {Dib(8, 8)}), 900, 0}, {{1, 0, 0, 0}, 1, 0}, {{}, 1, 0},
      {Table(0x40000002u, {Dib(8, 8)}), 0x40000001u, 0},  // 4 * (number - 1) would wrap
  };
  for (auto& [table, number, width] : cases) {
    FoundDib found{};
    bool ok = FindTableBitmap(table.empty() ? nullptr : table.data(), uint32_t(table.size()), number, &found);
    EXPECT_EQ(ok ? found.info.width : 0, width) << table.size() << " " << number;
    if (ok) EXPECT_LE(found.header + found.info.totalSize, table.data() + table.size());
  }
}

TEST(FindBackgroundDib, SkipsTheFileHeader) {
  Bytes file(14, 'B'), dib = Dib(64, 48);
  file.insert(file.end(), dib.begin(), dib.end());
  FoundDib found{};
  EXPECT_TRUE(FindBackgroundDib(file.data(), uint32_t(file.size()), &found) && found.header == file.data() + 14);
  EXPECT_FALSE(FindBackgroundDib(file.data(), 14, &found) || FindBackgroundDib(nullptr, 0, &found));
}

TEST(GradientStyle, ByFlagsDisplayDepthAndTheForcedPerLineFill) {
  const std::tuple<uint32_t, int, bool, GradientStyle> cases[] = {  // flags, display bits, forced, style
      {0x0A, 32, false, kGradientSolid},   {0x0C, 16, false, kGradientDithered}, {0x0C, 8, false, kGradientPerLine},
      {0x0C, 32, true, kGradientPerLine},  {0x08, 8, true, kGradientSolid}};
  for (auto& [flags, bits, forced, style] : cases)
    EXPECT_EQ(ChooseGradientStyle(flags, bits, forced), style) << flags << " " << bits << " " << forced;
}

}  // namespace
