#include <functional>

#include "support.h"

#include "format/block_ids.h"
#include "format/bytes.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/settings.h"

namespace wf = wrenly::format;
using craft::Bytes;

namespace {

// A compressed payload head (unpacked size, method) followed by `stream`.
Bytes Payload(uint32_t unpacked, uint8_t method, const Bytes& stream) {
  Bytes b(5);
  wf::StoreU32(b.data(), unpacked);
  b[4] = method;
  b.insert(b.end(), stream.begin(), stream.end());
  return b;
}

Bytes Zlib(const std::string& s) { return craft::Compress(craft::ToBytes(s), wf::kMethodZlib); }

Bytes Words(std::initializer_list<uint32_t> words) {
  Bytes b;
  for (uint32_t w : words)
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(w >> (8 * i)));
  return b;
}

uint64_t BlockAt(const craft::Crafted& c, uint16_t id) {
  for (uint64_t at : c.blockAt)
    if (wf::LoadU16(c.setup.data() + at) == id) return at;
  ADD_FAILURE() << "no block " << id;
  return 0;
}

void PatchFirstEntry(craft::PackageSpec& s, std::function<void(Bytes&)> f) { s.types[0].files[0].patch = f; }

struct DamageCase {
  const char* name;
  std::function<void(craft::PackageSpec&)> plan;
  std::function<void(craft::Crafted&)> bytes;
  std::function<void(const fs::path& setup)> files;
  bool verifyOnly;     // plain inspection cannot see it
  bool extractFails;   // extracting type 0 runs into it
  const char* message;
};

const DamageCase kCases[] = {
    {"no_signature", {}, [](craft::Crafted& c) { c.setup.resize(2048); }, {}, false, true, "no package signature"},
    {"signature_below_1020", [](craft::PackageSpec& s) { s.stubSize = 1019; }, {}, {}, false, true,
     "no package signature"},
    {"file_of_1000_bytes", {}, [](craft::Crafted& c) { c.setup.resize(1000); }, {}, false, true,
     "no package signature"},
    {"block_past_end",
     {}, [](craft::Crafted& c) { wf::StoreU32(c.setup.data() + BlockAt(c, wf::kBlockTitleText) + 4, 0x7FFFFFFF); },
     {}, false, true, "runs past the end of the file"},
    {"bad_block_stream", {},
     [](craft::Crafted& c) { c.setup[BlockAt(c, wf::kBlockInstallType) + 8 + 5 + 6] ^= 0x55; }, {}, false, true,
     "block 5182 at offset"},
    {"payload_without_method", [](craft::PackageSpec& s) { s.extraBlocks = {{wf::kBlockTitleText, 1, {1, 2, 3}}}; },
     {}, {}, false, true, "no room for its size and method"},
    {"block_method_3",
     [](craft::PackageSpec& s) { s.extraBlocks = {{wf::kBlockTitleText, 1, Payload(3, 3, Zlib("hi"))}}; }, {}, {},
     false, true, "unknown compression method 3"},
    {"bytes_after_block_stream",
     [](craft::PackageSpec& s) {
       Bytes p = Payload(3, 1, Zlib(std::string("hi\0", 3)));
       p.push_back('!');
       s.extraBlocks = {{wf::kBlockTitleText, 1, p}};
     },
     {}, {}, false, true, "bytes after the end of the compressed stream"},
    {"block_stream_short_of_unpacked_size",
     [](craft::PackageSpec& s) {
       s.extraBlocks = {{wf::kBlockTitleText, 1, Payload(10, 1, Zlib(std::string("hi\0", 3)))}};
     },
     {}, {}, false, true, "the stream gives 3 bytes, the unpacked size is 10"},
    {"block_stream_cut",
     [](craft::PackageSpec& s) {
       Bytes z = Zlib(std::string(200, 'x'));
       z.resize(z.size() - 4);
       s.extraBlocks = {{wf::kBlockTitleText, 1, Payload(200, 1, z)}};
     },
     {}, {}, false, true, "ends early"},
    {"data_area_truncated", {}, [](craft::Crafted& c) { c.setup.pop_back(); }, {}, false, true, "truncated"},
    {"no_install_type", [](craft::PackageSpec& s) { s.types.clear(); }, {}, {}, false, true, "no install type"},
    {"seventeen_install_types", [](craft::PackageSpec& s) { s.types.assign(17, craft::TypeSpec{}); }, {}, {}, false,
     true, "more than 16 install types"},
    {"file_table_before_first_type",
     [](craft::PackageSpec& s) { s.leadingBlocks = {{wf::kBlockFileTable, 0, Words({0})}}; }, {}, {}, false, true,
     "comes before the first install type"},
    {"sections_before_first_type",
     [](craft::PackageSpec& s) { s.leadingBlocks = {{wf::kBlockUninstallSections, 0, {1, 2}}}; }, {}, {}, false,
     true, "comes before the first install type"},
    {"record_too_short", [](craft::PackageSpec& s) { s.types[0].patchRecord = [](Bytes& r) { r.resize(60); }; },
     {}, {}, false, true, "at least 102"},
    {"product_without_terminator",
     [](craft::PackageSpec& s) {
       s.types[1].patchRecord = [](Bytes& r) {
         wf::StoreU32(r.data() + wf::install_type::kProductName, static_cast<uint32_t>(r.size() - 3));
         r.back() = 'x';
       };
     },
     {}, {}, false, true, "has no terminator inside the record"},
    {"folder_offset_past_record",
     [](craft::PackageSpec& s) {
       s.types[0].patchRecord = [](Bytes& r) {
         wf::StoreU32(r.data() + wf::install_type::kDefaultFolder, static_cast<uint32_t>(r.size() + 40));
       };
     },
     {}, {}, false, true, "lies past the record"},
    {"message_list_count_too_high",
     [](craft::PackageSpec& s) {
       s.types[0].patchRecord = [](Bytes& r) {
         uint32_t at = wf::LoadU32(r.data() + wf::install_type::kMessageLists + 4 * 8);
         wf::StoreU16(r.data() + at, 500);
       };
     },
     {}, {}, false, true, "message list 8"},
    {"page_sequence_without_end",
     [](craft::PackageSpec& s) {
       s.types[0].patchRecord = [](Bytes& r) {
         std::fill_n(r.begin() + wf::install_type::kPageSequence, wf::install_type::kPageSequenceSize, 1);
       };
     },
     {}, {}, false, false, "no end mark"},
    {"settings_too_short", [](craft::PackageSpec& s) { s.patchSettings = [](Bytes& b) { b.resize(120); }; }, {}, {},
     false, true, "at least 170"},
    {"layout_past_block",
     [](craft::PackageSpec& s) {
       s.patchSettings = [](Bytes& b) {
         wf::StoreU32(b.data() + wf::setup_settings::kLayouts + 4 * 3, static_cast<uint32_t>(b.size() - 20));
       };
     },
     {}, {}, false, true, "layout of page kind 3"},
    {"layout_records_past_block",
     [](craft::PackageSpec& s) {
       s.patchSettings = [](Bytes& b) {
         uint32_t at = wf::LoadU32(b.data() + wf::setup_settings::kLayouts);
         wf::StoreU16(b.data() + at + wf::page_layout::kBodyCount, 1000);
       };
     },
     {}, {}, false, true, "body records run past the block"},
    {"button_records_past_block",
     [](craft::PackageSpec& s) {
       s.patchSettings = [](Bytes& b) { wf::StoreU32(b.data() + wf::setup_settings::kButtonCount, 0x01000000); };
     },
     {}, {}, false, true, "button records"},
    {"variant_list_too_long",
     [](craft::PackageSpec& s) {
       s.extraBlocks = {{wf::kBlockBackgroundVariants, 0, Words({100, 640, 480})}};
     },
     {}, {}, false, true, "background variant list"},
    {"single_page_names_missing_type",
     [](craft::PackageSpec& s) { s.extraBlocks = {{wf::kBlockSinglePage, 0, {0, 0, 5, 0}}}; }, {}, {}, false, true,
     "name install type 5 of 2"},
    {"bitmap_offset_past_table",
     [](craft::PackageSpec& s) { s.extraBlocks = {{wf::kBlockBitmapTable, 0, Words({1, 400})}}; }, {}, {}, false,
     false, "bitmap 1 at offset 400"},
    {"title_without_terminator",
     [](craft::PackageSpec& s) { s.extraBlocks = {{wf::kBlockTitleText, 0, craft::ToBytes("Title")}}; }, {}, {},
     false, false, "title text has no terminator"},
    {"entry_size_beyond_table",
     [](craft::PackageSpec& s) { PatchFirstEntry(s, [](Bytes& r) { wf::StoreU32(r.data(), 5000); }); }, {}, {},
     false, true, "its size 5000 runs beyond the table"},
    {"entry_size_below_fixed_part",
     [](craft::PackageSpec& s) { PatchFirstEntry(s, [](Bytes& r) { wf::StoreU32(r.data(), 8); }); }, {}, {}, false,
     true, "its size 8 runs beyond the table"},
    {"table_count_beyond_entries",
     [](craft::PackageSpec& s) { s.types[1].patchTable = [](Bytes& t) { t[0] += 1; }; }, {}, {}, false, true,
     "the table ends (its count says 3 entries)"},
    {"entry_string_without_terminator",
     [](craft::PackageSpec& s) { PatchFirstEntry(s, [](Bytes& r) { r.back() = 'x'; }); }, {}, {}, false, true,
     "a string or the version/times block runs past the record"},
    {"entry_version_block_cut",
     [](craft::PackageSpec& s) {
       PatchFirstEntry(s, [](Bytes& r) {
         r.resize(40);
         wf::StoreU32(r.data(), 40);
         wf::StoreU32(r.data() + wf::file_entry::kFlags, wf::kFlagVersionCheck);
       });
     },
     {}, {}, false, true, "version/times block"},
    {"entry_data_past_data_area",
     [](craft::PackageSpec& s) {
       PatchFirstEntry(s, [](Bytes& r) { wf::StoreU32(r.data() + wf::file_entry::kStoredLength, 900000); });
     },
     {}, {}, false, true, "runs past the DataArea"},
    {"entry_stored_length_0",
     [](craft::PackageSpec& s) {
       PatchFirstEntry(s, [](Bytes& r) { wf::StoreU32(r.data() + wf::file_entry::kStoredLength, 0); });
     },
     {}, {}, false, true, "stored length 0"},
    {"entry_name_escapes", [](craft::PackageSpec& s) { s.types[0].files[0].name = "..\\evil.txt"; }, {}, {}, false,
     true, "refused name"},
    {"entry_checksum_mismatch",
     [](craft::PackageSpec& s) { PatchFirstEntry(s, [](Bytes& r) { r[wf::file_entry::kChecksum] ^= 1; }); }, {},
     {}, true, true, "checksum"},
    {"entry_size_larger_than_data",
     [](craft::PackageSpec& s) { PatchFirstEntry(s, [](Bytes& r) { r[wf::file_entry::kSize] += 1; }); }, {}, {},
     true, true, "decodes to 15 bytes, its size says 16"},
    {"entry_size_smaller_than_data",
     [](craft::PackageSpec& s) { PatchFirstEntry(s, [](Bytes& r) { r[wf::file_entry::kSize] -= 1; }); }, {}, {},
     true, true, "more than the entry's size of 14 bytes"},
    {"entry_bad_stream",
     [](craft::PackageSpec& s) { s.types[0].files[1].patchData = [](Bytes& d) { d[d.size() / 2] ^= 0x40; }; }, {},
     {}, true, true, "bzip2 stream"},
    {"entry_method_3", [](craft::PackageSpec& s) { s.types[0].files[0].patchData = [](Bytes& d) { d[0] = 3; }; },
     {}, {}, true, true, "unknown compression method 3"},
    {"entry_stream_cut",
     [](craft::PackageSpec& s) {
       s.types[0].files[0].patchData = [](Bytes& d) { d.resize(d.size() - 3); };
     },
     {}, {}, true, true, "ends early"},
    {"volume_missing", [](craft::PackageSpec& s) { s.volumeSize = 2000; }, {},
     [](const fs::path& setup) { fs::remove(fs::path(setup).replace_extension(".D02")); }, false, true,
     "setup.D02 is missing"},
    {"volume_shorter_than_its_count", [](craft::PackageSpec& s) { s.volumeSize = 3000; }, {},
     [](const fs::path& setup) { fs::resize_file(fs::path(setup).replace_extension(".D01"), 1000); }, false, true,
     "holds 996 data bytes, its count says 2901"},
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class Damaged : public ::testing::TestWithParam<DamageCase> {};

TEST_P(Damaged, EveryOperationFailsWithAMessage) {
  const DamageCase& c = GetParam();
  fs::path dir = ScratchDir();
  craft::PackageSpec plan = craft::TypicalSpec();
  if (c.plan) c.plan(plan);
  craft::Crafted crafted = craft::Craft(plan);
  if (c.bytes) c.bytes(crafted);
  fs::path setup = craft::Write(crafted, dir / "setup.exe");
  if (c.files) c.files(setup);

  Outcome plain = InspectFile(setup, false);
  Outcome verified = InspectFile(setup, true);
  if (c.verifyOnly) EXPECT_EQ(plain.code, 0) << plain.err;
  else EXPECT_NE(plain.code, 0);
  EXPECT_NE(verified.code, 0);
  EXPECT_NE(verified.err.find(c.message), std::string::npos) << verified.err;

  Outcome extracted = ExtractFile(setup, dir / "out", 0);
  if (c.extractFails) {
    EXPECT_NE(extracted.code, 0);
    EXPECT_NE(extracted.err, "");
  } else {
    EXPECT_EQ(extracted.code, 0) << extracted.err;
  }
}

INSTANTIATE_TEST_SUITE_P(All, Damaged, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A package cut anywhere must be refused with a message, never read past.
TEST(Truncated, EveryCutIsRefused) {
  fs::path dir = ScratchDir();
  craft::Crafted full = craft::Craft(craft::TypicalSpec());
  std::vector<size_t> cuts = {0, 1019, 2048, 2050, 2054, full.dataStart - 4, full.dataStart - 1,
                              full.dataStart + 1, full.setup.size() - 1};
  for (uint64_t at : full.blockAt)
    for (size_t d : {1, 4, 7, 8, 9, 12, 30}) cuts.push_back(at + d);
  for (size_t cut : cuts) {
    craft::Crafted c = full;
    c.setup.resize(cut);
    fs::path setup = craft::Write(c, dir / "setup.exe");
    Outcome r = InspectFile(setup, true);
    EXPECT_NE(r.code, 0) << "cut at " << cut;
    EXPECT_NE(r.err.find("setup.exe: "), std::string::npos) << "cut at " << cut << ": " << r.err;
    EXPECT_NE(ExtractFile(setup, dir / "out", 0).code, 0) << "cut at " << cut;
  }
}

}  // namespace
