// Looking bitmaps up in their blocks, and the background's gradient style.
#include <gtest/gtest.h>

#include <vector>

#include "format/bytes.h"
#include "ui/panel_bitmap.h"

namespace {

namespace wf = wrenly::format;

// A packed 24-bit DIB of w x h pixels.
std::vector<uint8_t> Dib(int32_t w, int32_t h) {
  uint32_t row = ((w * 24 + 31) / 32) * 4;
  std::vector<uint8_t> d(40 + row * h);
  wf::StoreU32(d.data(), 40);
  wf::StoreU32(d.data() + 4, (uint32_t)w);
  wf::StoreU32(d.data() + 8, (uint32_t)h);
  d[12] = 1;
  d[14] = 24;
  return d;
}

// count, offsets, then the DIBs; `offsets` of -1 point at the next DIB in turn.
std::vector<uint8_t> Table(uint32_t count, std::vector<int64_t> offsets, std::vector<std::vector<uint8_t>> dibs) {
  std::vector<uint8_t> t(4 + 4 * offsets.size());
  wf::StoreU32(t.data(), count);
  size_t next = 0;
  for (size_t i = 0; i < offsets.size(); ++i) {
    uint32_t at = (uint32_t)offsets[i];
    if (offsets[i] < 0) {
      at = (uint32_t)t.size();
      t.insert(t.end(), dibs[next].begin(), dibs[next].end());
      ++next;
    }
    wf::StoreU32(t.data() + 4 + 4 * i, at);
  }
  return t;
}

TEST(FindTableBitmap, OnlyWhatLiesWhollyInTheBlock) {
  struct Case {
    const char* name;
    std::vector<uint8_t> table;
    uint32_t number;
    int32_t width;  // 0: none
  };
  std::vector<uint8_t> cut = Table(1, {-1}, {Dib(57, 57)});
  cut.resize(cut.size() - 1);
  const Case cases[] = {
      {"first", Table(2, {-1, -1}, {Dib(140, 316), Dib(57, 57)}), 1, 140},
      {"second", Table(2, {-1, -1}, {Dib(140, 316), Dib(57, 57)}), 2, 57},
      {"number 0", Table(2, {-1, -1}, {Dib(140, 316), Dib(57, 57)}), 0, 0},
      {"beyond the count", Table(2, {-1, -1}, {Dib(140, 316), Dib(57, 57)}), 3, 0},
      {"offset 0", Table(2, {0, -1}, {Dib(57, 57)}), 1, 0},
      {"offset past the block", Table(1, {100000}, {}), 1, 0},
      {"pixels cut short", cut, 1, 0},
      {"count larger than the offsets", Table(1000, {-1}, {Dib(8, 8)}), 900, 0},
      {"count that would wrap", Table(0x40000002u, {-1}, {Dib(8, 8)}), 0x40000001u, 0},
      {"header only", {1, 0, 0, 0}, 1, 0},
      {"empty", {}, 1, 0},
  };
  for (const Case& c : cases) {
    FoundDib found{};
    bool ok = FindTableBitmap(c.table.empty() ? nullptr : c.table.data(), (uint32_t)c.table.size(),
                              c.number, &found);
    EXPECT_EQ(ok, c.width != 0) << c.name;
    if (ok) {
      EXPECT_EQ(found.info.width, c.width) << c.name;
      EXPECT_GE(found.header, c.table.data());
      EXPECT_LE(found.header + found.info.totalSize, c.table.data() + c.table.size()) << c.name;
    }
  }
}

TEST(FindBackgroundDib, SkipsTheFileHeader) {
  std::vector<uint8_t> file(14, 'B');
  std::vector<uint8_t> dib = Dib(640, 480);
  file.insert(file.end(), dib.begin(), dib.end());
  FoundDib found{};
  ASSERT_TRUE(FindBackgroundDib(file.data(), (uint32_t)file.size(), &found));
  EXPECT_EQ(found.header, file.data() + 14);
  EXPECT_EQ(found.info.height, 480);
  EXPECT_FALSE(FindBackgroundDib(file.data(), 14, &found));
  EXPECT_FALSE(FindBackgroundDib(file.data(), (uint32_t)file.size() - 1, &found));
  EXPECT_FALSE(FindBackgroundDib(nullptr, 0, &found));
}

TEST(GradientStyle, ByFlagsDisplayDepthAndTheForcedPerLineFill) {
  struct Case {
    uint32_t flags;
    int bits;
    bool forced;
    GradientStyle expected;
  };
  const Case cases[] = {
      {0x0A, 32, false, kGradientSolid},   {0x0C, 32, false, kGradientDithered},
      {0x0C, 16, false, kGradientDithered}, {0x0C, 8, false, kGradientPerLine},
      {0x0C, 4, false, kGradientPerLine},  {0x0C, 32, true, kGradientPerLine},
      {0x08, 8, true, kGradientSolid},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChooseGradientStyle(c.flags, c.bits, c.forced), c.expected) << c.flags << " " << c.bits;
}

}  // namespace
