#include <gtest/gtest.h>

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
