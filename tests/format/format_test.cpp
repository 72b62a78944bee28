#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "format/bitmaps.h"
#include "format/file_entry.h"
#include "format/message_list.h"
#include "format/writer.h"

namespace wf = wrenly::format;

namespace {

wf::ByteView View(const std::vector<uint8_t>& v) { return {v.data(), static_cast<uint32_t>(v.size())}; }

// A file table holding one entry with the given flags and strings.
std::vector<uint8_t> OneEntryTable(uint32_t flags, const std::vector<std::string>& items,
                                   int32_t sizeAdjust = 0) {
  wf::ByteWriter rec;
  rec.U32(0);  // size, patched
  rec.U16(0);
  rec.U16(0);
  rec.U32(flags);
  rec.U32(0);
  for (int i = 0; i < 4; ++i) rec.U32(0x100 + i);  // checksum, size, offset, stored
  if (flags & (wf::kFlagVersionCheck | wf::kFlagLanguageCheck)) rec.Zeros(20);
  if (flags & wf::kFlagTimes) rec.Zeros(24);
  for (auto& s : items) rec.CString(s);
  rec.PatchU32(0, rec.size() + sizeAdjust);
  wf::ByteWriter t;
  t.U32(1);
  t.Bytes(rec.bytes());
  return t.bytes();
}

}  // namespace

TEST(ByteView, RefusesEveryReadThatLeavesTheRange) {
  std::vector<uint8_t> b{1, 2, 3, 4, 5};
  auto v = View(b);
  uint32_t u32;
  uint16_t u16;
  EXPECT_TRUE(v.U32(1, &u32));
  EXPECT_EQ(u32, 0x05040302u);
  EXPECT_FALSE(v.U32(2, &u32));
  EXPECT_FALSE(v.U16(4, &u16));
  EXPECT_FALSE(v.U32(0xFFFFFFFEu, &u32));  // offset + width overflows
  EXPECT_FALSE(v.Has(6, 0));
  EXPECT_TRUE(v.Has(5, 0));
  EXPECT_EQ(v.CString(0), nullptr);         // no terminator inside
  std::vector<uint8_t> s{'a', 'b', 0, 'c'};
  uint32_t len = 99;
  ASSERT_NE(View(s).CString(0, &len), nullptr);
  EXPECT_EQ(len, 2u);
  EXPECT_EQ(View(s).CString(3), nullptr);
}

TEST(FileChecksum, RotatesAndAdds) {
  const uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(wf::UpdateFileChecksum(0, abc, 3), 0x000002ABu);
  EXPECT_EQ(wf::UpdateFileChecksum(0, abc, 0), 0u);
  // The top bit comes round to bit 0.
  const uint8_t zero[] = {0};
  EXPECT_EQ(wf::UpdateFileChecksum(0x80000000u, zero, 1), 1u);
  // Folding in pieces equals folding at once.
  uint32_t part = wf::UpdateFileChecksum(0, abc, 1);
  EXPECT_EQ(wf::UpdateFileChecksum(part, abc + 1, 2), 0x000002ABu);
}

TEST(FileEntry, ParsesOptionalBlocksAndStrings) {
  struct Case {
    uint32_t flags;
    uint32_t stringsAt;
  } cases[] = {{0, 32}, {wf::kFlagVersionCheck, 52}, {wf::kFlagTimes, 56},
               {wf::kFlagLanguageCheck | wf::kFlagTimes, 76}};
  for (auto c : cases) {
    auto t = OneEntryTable(c.flags, {"data\\a.txt", "", "b"});
    wf::FileEntryView e;
    ASSERT_TRUE(wf::ParseFileEntry(View(t), wf::file_table::kEntries, &e)) << c.flags;
    EXPECT_EQ(wf::FileEntryStringsOffset(c.flags), c.stringsAt);
    EXPECT_STREQ(e.strings[0], "data\\a.txt");
    EXPECT_STREQ(e.strings[1], "");
    EXPECT_STREQ(e.strings[2], "b");
    EXPECT_STREQ(e.strings[9], "");  // not carried: empty
    EXPECT_EQ(e.size, 0x101u);
    EXPECT_EQ(e.storedLength, 0x103u);
    EXPECT_EQ(e.versionBlock != nullptr, (c.flags & 6) != 0);
    EXPECT_EQ(e.timesBlock != nullptr, (c.flags & 8) != 0);
  }
}

TEST(FileEntry, RejectsDamagedRecords) {
  wf::FileEntryView e;
  // Size field beyond the table.
  auto longer = OneEntryTable(0, {"a"}, +1);
  EXPECT_FALSE(wf::ParseFileEntry(View(longer), 4, &e));
  // Size field cutting the last string's terminator off.
  auto shorter = OneEntryTable(0, {"abc"}, -1);
  EXPECT_FALSE(wf::ParseFileEntry(View(shorter), 4, &e));
  // Size smaller than the fixed part.
  auto tiny = OneEntryTable(0, {"a"});
  wf::StoreU32(tiny.data() + 4, 8);
  EXPECT_FALSE(wf::ParseFileEntry(View(tiny), 4, &e));
  // Flags announce a times block the record cannot hold.
  auto noTimes = OneEntryTable(0, {});
  wf::StoreU32(noTimes.data() + 4 + wf::file_entry::kFlags, wf::kFlagTimes);
  EXPECT_FALSE(wf::ParseFileEntry(View(noTimes), 4, &e));
}

TEST(MessageList, ValidatesThenFindsItems) {
  wf::ByteWriter w;
  w.Zeros(3);
  w.U16(3);
  w.CString("a");
  w.CString("");
  w.CString("b");
  auto v = View(w.bytes());
  ASSERT_TRUE(wf::ValidateMessageList(v, 3));
  EXPECT_STREQ(wf::FindMessageItem(v.data + 3, 0), "a");
  EXPECT_STREQ(wf::FindMessageItem(v.data + 3, 1), "");
  EXPECT_STREQ(wf::FindMessageItem(v.data + 3, 2), "b");
  EXPECT_EQ(wf::FindMessageItem(v.data + 3, 3), nullptr);
  // A count that claims more items than the range holds.
  auto bytes = w.bytes();
  wf::StoreU16(bytes.data() + 3, 4);
  EXPECT_FALSE(wf::ValidateMessageList(View(bytes), 3));
  bytes.pop_back();
  EXPECT_FALSE(wf::ValidateMessageList(View(bytes), 3));
}

TEST(Dib, LocatesRowsAndRefusesWhatDrawingCouldMisread) {
  auto dib = [](int32_t w, int32_t h, uint16_t bits, uint32_t clrUsed, uint32_t compression,
                size_t extra) {
    wf::ByteWriter d;
    d.U32(40);
    d.I32(w);
    d.I32(h);
    d.U16(1);
    d.U16(bits);
    d.U32(compression);
    d.Zeros(12);
    d.U32(clrUsed);
    d.U32(0);
    d.Zeros(extra);
    return d.bytes();
  };
  wf::DibInfo info;
  auto rgb = dib(3, 2, 24, 0, 0, 2 * 12);
  ASSERT_TRUE(wf::ParseDib(View(rgb), &info));
  EXPECT_EQ(info.rowBytes, 12u);  // 9 bytes rounded up to a DWORD
  EXPECT_EQ(info.pixelOffset, 40u);
  auto pal = dib(8, 1, 8, 0, 0, 1024 + 8);
  ASSERT_TRUE(wf::ParseDib(View(pal), &info));
  EXPECT_EQ(info.colourCount, 256u);
  EXPECT_EQ(info.pixelOffset, 40u + 1024u);
  auto few = dib(8, 1, 8, 16, 0, 64 + 8);
  ASSERT_TRUE(wf::ParseDib(View(few), &info));
  EXPECT_EQ(info.pixelOffset, 104u);

  EXPECT_FALSE(wf::ParseDib(View(dib(3, 2, 24, 0, 0, 2 * 12 - 1)), &info));  // rows cut
  EXPECT_FALSE(wf::ParseDib(View(dib(3, -2, 24, 0, 0, 24)), &info));         // top-down
  EXPECT_FALSE(wf::ParseDib(View(dib(3, 2, 24, 0, 1, 24)), &info));          // compressed
  EXPECT_FALSE(wf::ParseDib(View(dib(3, 2, 12, 0, 0, 24)), &info));          // odd depth
  EXPECT_FALSE(wf::ParseDib(View(dib(1, 1, 8, 300, 0, 2000)), &info));       // huge table
}
