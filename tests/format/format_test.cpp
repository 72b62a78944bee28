#include <gtest/gtest.h>

#include "format/bitmaps.h"
#include "format/file_entry.h"
#include "format/message_list.h"
#include "format/writer.h"

namespace wf = wrenly::format;

namespace {

wf::ByteView View(const std::vector<uint8_t>& v) { return {v.data(), static_cast<uint32_t>(v.size())}; }

// A file table holding one entry; `size` replaces the record's own size when given.
std::vector<uint8_t> OneEntryTable(uint32_t flags, const std::vector<std::string>& items, int64_t size = -1) {
  wf::ByteWriter t;
  for (uint32_t v : {1u, 0u, 0u, flags, 0u, 0x100u, 0x101u, 0x102u, 0x103u}) t.U32(v);  // status, icon: 0
  if (flags & (wf::kFlagVersionCheck | wf::kFlagLanguageCheck)) t.Zeros(20);
  if (flags & wf::kFlagTimes) t.Zeros(24);
  for (auto& s : items) t.CString(s);
  t.PatchU32(wf::file_table::kEntries, size >= 0 ? static_cast<uint32_t>(size) : t.size() - wf::file_table::kEntries);
  return t.bytes();
}

}  // namespace

TEST(ByteView, RefusesEveryReadThatLeavesTheRange) {
  std::vector<uint8_t> b{'a', 'b', 0, 4, 5};
  auto v = View(b);
  uint32_t u32, len = 99;
  uint16_t u16;
  EXPECT_TRUE(v.U32(1, &u32));
  EXPECT_EQ(u32, 0x05040062u);
  EXPECT_FALSE(v.U32(2, &u32));
  EXPECT_FALSE(v.U16(4, &u16));
  EXPECT_FALSE(v.U32(0xFFFFFFFEu, &u32));  // offset + width overflows
  EXPECT_TRUE(v.Has(5, 0));
  EXPECT_FALSE(v.Has(6, 0));
  ASSERT_NE(v.CString(0, &len), nullptr);
  EXPECT_EQ(len, 2u);
  EXPECT_EQ(v.CString(3), nullptr);  // no terminator inside
}

TEST(FileChecksum, RotatesAndAddsInPieces) {
  const uint8_t abc[] = {'a', 'b', 'c'}, zero[] = {0};
  EXPECT_EQ(wf::UpdateFileChecksum(0, abc, 3), 0x000002ABu);
  EXPECT_EQ(wf::UpdateFileChecksum(wf::UpdateFileChecksum(0, abc, 1), abc + 1, 2), 0x000002ABu);
  EXPECT_EQ(wf::UpdateFileChecksum(0x80000000u, zero, 1), 1u);  // the top bit comes round to bit 0
}

TEST(FileEntry, ParsesOptionalBlocksAndStringsAndRefusesDamagedRecords) {
  wf::FileEntryView e;
  for (uint32_t flags : {0u, 0u + wf::kFlagVersionCheck, 0u + wf::kFlagTimes, wf::kFlagLanguageCheck | wf::kFlagTimes}) {
    auto t = OneEntryTable(flags, {"data\\a.txt", "", "b"});
    ASSERT_TRUE(wf::ParseFileEntry(View(t), wf::file_table::kEntries, &e)) << flags;
    EXPECT_EQ(std::vector<std::string>(e.strings, e.strings + wf::file_entry::kStringCount),
              (std::vector<std::string>{"data\\a.txt", "", "b", "", "", "", "", "", "", ""}));
    EXPECT_EQ(std::tuple(e.size, e.storedLength, e.versionBlock != nullptr, e.timesBlock != nullptr),
              std::tuple(0x101u, 0x103u, (flags & 6) != 0, (flags & 8) != 0));
  }
  auto rec = OneEntryTable(0, {"abc"});
  uint32_t size = static_cast<uint32_t>(rec.size()) - wf::file_table::kEntries;
  EXPECT_FALSE(wf::ParseFileEntry(View(OneEntryTable(0, {"abc"}, size + 1)), 4, &e));  // beyond the table
  EXPECT_FALSE(wf::ParseFileEntry(View(OneEntryTable(0, {"abc"}, size - 1)), 4, &e));  // cuts the terminator
  EXPECT_FALSE(wf::ParseFileEntry(View(OneEntryTable(0, {"abc"}, 8)), 4, &e));  // smaller than the fixed part
  wf::StoreU32(&rec[4 + wf::file_entry::kFlags], wf::kFlagTimes);  // a times block the record cannot hold
  EXPECT_FALSE(wf::ParseFileEntry(View(rec), 4, &e));
}

TEST(MessageList, ValidatesThenFindsItems) {
  wf::ByteWriter w;
  w.Zeros(3);
  w.U16(3);
  for (const char* item : {"a", "", "b"}) w.CString(item);
  auto bytes = w.bytes();
  ASSERT_TRUE(wf::ValidateMessageList(View(bytes), 3));
  EXPECT_STREQ(wf::FindMessageItem(&bytes[3], 2), "b");
  EXPECT_EQ(wf::FindMessageItem(&bytes[3], 3), nullptr);
  wf::StoreU16(&bytes[3], 4);  // more items than the range holds
  EXPECT_FALSE(wf::ValidateMessageList(View(bytes), 3));
  bytes = w.bytes();
  bytes.pop_back();  // the last item's terminator is missing
  EXPECT_FALSE(wf::ValidateMessageList(View(bytes), 3));
}

TEST(Dib, LocatesRowsAndRefusesWhatDrawingCouldMisread) {
  struct {
    int32_t width, height;
    uint32_t bits, clrUsed, compression, after;  // after: bytes after the header
    bool ok;
    uint32_t rowBytes, colours, pixelOffset;
  } cases[] = {{3, 2, 24, 0, 0, 24, true, 12, 0, 40},  // rows of 9 bytes padded to 12
               {8, 1, 8, 0, 0, 1024 + 8, true, 8, 256, 40 + 1024}, {8, 1, 8, 16, 0, 64 + 8, true, 8, 16, 104},
               {3, 2, 24, 0, 0, 23, false}, {3, -2, 24, 0, 0, 24, false},  // rows cut; top-down
               {3, 2, 24, 0, 1, 24, false}, {3, 2, 12, 0, 0, 24, false},   // compressed; odd depth
               {1, 1, 8, 300, 0, 2000, false}};                          // huge colour table
  for (const auto& c : cases) {
    wf::ByteWriter d;
    for (uint32_t v : {40u, uint32_t(c.width), uint32_t(c.height), 1u | c.bits << 16, c.compression, 0u, 0u,
                       0u, c.clrUsed, 0u})
      d.U32(v);
    d.Zeros(c.after);
    wf::DibInfo info;
    ASSERT_EQ(wf::ParseDib(View(d.bytes()), &info), c.ok) << c.width << "x" << c.height << "x" << c.bits;
    if (c.ok)
      EXPECT_EQ(std::tuple(info.rowBytes, info.colourCount, info.pixelOffset), std::tuple(c.rowBytes, c.colours, c.pixelOffset));
  }
}
