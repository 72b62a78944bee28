#include <gtest/gtest.h>

#include <random>

#include "format/bitmaps.h"
#include "format/file_entry.h"
#include "format/writer.h"

namespace wf = wrenly::format;

static wf::ByteView View(const std::vector<uint8_t>& v) { return {v.data(), static_cast<uint32_t>(v.size())}; }

// The loader's damage table covers strings without a terminator.
TEST(ByteView, RefusesEveryReadThatLeavesTheRange) {
  std::vector<uint8_t> b{'a', 'b', 0, 4, 5};
  uint32_t u32;
  for (auto [at, ok] : {std::pair{1u, true}, {2u, false}, {0xFFFFFFFEu, false}})  // the last overflows offset + width
    EXPECT_EQ(View(b).U32(at, &u32), ok) << at;
  EXPECT_TRUE(View(b).Has(5, 0));
  EXPECT_FALSE(View(b).Has(6, 0));
}

TEST(FileChecksum, RotatesAndAddsInPieces) {
  const uint8_t abc[] = {'a', 'b', 'c'}, zero[] = {0};
  EXPECT_EQ(wf::UpdateFileChecksum(0, abc, 3), 0x000002ABu);
  EXPECT_EQ(wf::UpdateFileChecksum(wf::UpdateFileChecksum(0, abc, 1), abc + 1, 2), 0x000002ABu);
  EXPECT_EQ(wf::UpdateFileChecksum(0x80000000u, zero, 1), 1u);  // the top bit comes round to bit 0
  // Eight bytes at a time give what one at a time gives: from states whose
  // bits 8..23 are all set (where a carry can reach bit 31) or nearly, on
  // bytes of 0xFF that carry the most, and on random ones of every length.
  auto oneByOne = [](uint32_t v, const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) v = ((v << 1) | (v >> 31)) + p[i];
    return v;
  };
  std::mt19937 rng(7);
  std::vector<uint8_t> ones(64, 0xFF), bytes(4096);
  for (auto& b : bytes) b = static_cast<uint8_t>(rng());
  for (uint32_t start : {0u, 0x00FFFF00u, 0x7FFFFF80u, 0xFFFFFFFFu, 0x80FFFF7Fu, 0x7FFFFFFFu, 0x00FFFEFFu})
    for (size_t n = 0; n <= ones.size(); ++n)
      EXPECT_EQ(wf::UpdateFileChecksum(start, ones.data(), n), oneByOne(start, ones.data(), n)) << start << " " << n;
  for (int round = 0; round < 20000; ++round) {
    uint32_t start = rng() | (round % 2 ? 0x00FFFF00u : 0);
    size_t at = rng() % 2048, n = rng() % 2048;
    ASSERT_EQ(wf::UpdateFileChecksum(start, &bytes[at], n), oneByOne(start, &bytes[at], n)) << start << " " << n;
  }
}

TEST(Dib, LocatesRowsAndRefusesWhatDrawingCouldMisread) {
  struct {
    int32_t width, height;
    uint32_t bits, clrUsed, compression, after;  // after: bytes after the header
    bool ok;
    uint32_t rowBytes, colours, pixelOffset;
  } cases[] = {{3, 2, 24, 0, 0, 24, true, 12, 0, 40},  // rows of 9 bytes padded to 12
               {8, 1, 8, 0, 0, 1024 + 8, true, 8, 256, 40 + 1024},
               {8, 1, 8, 16, 0, 64 + 8, true, 8, 16, 104},
               {3, 2, 24, 0, 0, 23, false},
               {3, -2, 24, 0, 0, 24, false},  // rows cut; top-down
               {3, 2, 24, 0, 1, 24, false},
               {3, 2, 12, 0, 0, 24, false},      // compressed; odd depth
               {1, 1, 8, 300, 0, 2000, false}};  // huge colour table
  for (const auto& c : cases) {
    wf::ByteWriter d;
    for (uint32_t v :
         {40u, uint32_t(c.width), uint32_t(c.height), 1u | c.bits << 16, c.compression, 0u, 0u, 0u, c.clrUsed, 0u})
      d.U32(v);
    d.Zeros(c.after);
    wf::DibInfo info;
    ASSERT_EQ(wf::ParseDib(View(d.bytes()), &info), c.ok) << c.width << "x" << c.height << "x" << c.bits;
    if (c.ok)
      EXPECT_EQ(std::tuple(info.rowBytes, info.colourCount, info.pixelOffset),
                std::tuple(c.rowBytes, c.colours, c.pixelOffset));
  }
}
