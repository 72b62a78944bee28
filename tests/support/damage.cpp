#include "damage.h"

#include "format/block_ids.h"
#include "format/bytes.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/settings.h"

namespace wf = wrenly::format;
namespace fe = wf::file_entry;
namespace it = wf::install_type;
namespace ss = wf::setup_settings;
namespace fs = std::filesystem;

namespace {

Bytes& Payload(PackageImage& p, uint16_t id, int nth = 0) { return p.Find(id, nth)->payload; }
Bytes& Record(PackageImage& p, int type = 0) { return Payload(p, wf::kBlockInstallType, type); }
Bytes& Settings(PackageImage& p) { return Payload(p, wf::kBlockSetupSettings); }
// Field `at` of entry `n` of type 0's file table.
uint8_t* Entry(PackageImage& p, uint32_t at, int n = 0) {
  Bytes& t = Payload(p, wf::kBlockFileTable);
  uint32_t r = wf::file_table::kEntries;
  while (n-- > 0) r += wf::LoadU32(t.data() + r);
  return t.data() + r + at;
}
std::function<void(PackageImage&)> Extra(uint16_t id, Bytes payload, uint16_t flags = 0) {
  return [=](PackageImage& p) { p.Add(id, payload, flags); };
}
// Replaces the block `id` by one holding `payload`.
std::function<void(PackageImage&)> Replace(uint16_t id, Bytes payload) {
  return [=](PackageImage& p) { *p.Find(id) = {id, 0, payload}; };
}
Bytes Hi() { return Zlib(ToBytes(std::string_view("hi", 3))); }

const DamageRecipe kRecipes[] = {
    {"signature_below_1020", 'R', "no package signature", 0, 1, [](PackageImage& p) { p.signatureAt = 1019; }},
    {"payload_length_wraps", 'R', "runs past the end of the file", 0, 1,
     [](PackageImage& p) { p.blocks.push_back({wf::kBlockUninstallerImage, 0, {1, 2}, 0xFFFFFFFF}); }},
    {"payload_without_method", 'R', "no room for its size and method", 0, 1,
     Extra(wf::kBlockTitleText, {3, 0, 0, 0}, 1)},
    {"block_method_3", 'R', "unknown compression method 3", 0, 1,
     Extra(wf::kBlockTitleText, CompressedPayload(3, 3, Hi()), 1)},
    {"block_stream_short_of_unpacked_size", 'R', "the stream gives 3 bytes, the unpacked size is 10", 0, 1,
     Extra(wf::kBlockTitleText, CompressedPayload(10, 1, Hi()), 1)},
    {"block_stream_longer_than_unpacked_size", 'R', "the stream gives more than the unpacked size 2", 0, 1,
     Extra(wf::kBlockTitleText, CompressedPayload(2, 1, Hi()), 1)},
    {"huge_unpacked_size", 'R', "implausible unpacked size 4294967280", 0, 1,
     Extra(wf::kBlockUninstallerImage, CompressedPayload(0xFFFFFFF0, 1, Zlib({1})), 1)},
    {"data_area_truncated", 'M', "truncated", 0, 1, [](PackageImage& p) { p.cutAt = p.Build().size() - 1; }},
    {"no_install_type", 'R', "no install type", 0, 1, {}, [](wrenly::builder::Project& s) { s.types.clear(); }},
    {"seventeen_install_types", 'R', "more than 16 install types", 0, 1,
     {}, [](wrenly::builder::Project& s) { s.types.resize(17, s.types[1]); }},
    {"file_table_before_first_type", 'R', "comes before the first install type", 0, 1,
     [](PackageImage& p) { p.blocks.insert(p.blocks.begin(), {wf::kBlockFileTable, 0, Words({0})}); }},
    {"record_too_short", 'R', "at least 102", 0, 1, [](PackageImage& p) { Record(p).resize(it::kFixedSize - 1); }},
    {"product_without_terminator", 'R', "has no terminator inside the record", 0, 1,
     [](PackageImage& p) {
       Bytes& r = Record(p, 1);
       r.push_back('x');
       wf::StoreU32(&r[it::kProductName], r.size() - 1);
     }},
    {"list_offset_past_record", 'R', "message list 2", 0, 1,
     [](PackageImage& p) { wf::StoreU32(Record(p).data() + it::kMessageLists + 4 * 2, 0xFFFFFFF0); }},
    {"message_list_count_too_high", 'R', "message list 8", 0, 1,
     [](PackageImage& p) { Bytes& r = Record(p); wf::StoreU16(&r[wf::LoadU32(&r[it::kMessageLists + 32])], 500); }},
    {"page_sequence_without_end", 'L', "no end mark", 0, 0,
     [](PackageImage& p) { std::fill_n(Record(p).begin() + it::kPageSequence, it::kPageSequenceSize, 1); }},
    {"layout_past_block", 'R', "layout of page kind 3", 0, 1,
     [](PackageImage& p) {  // a head of zeros one byte short
       Bytes& s = Settings(p);
       wf::StoreU32(s.data() + ss::kLayouts + 4 * 3, s.size());
       s.resize(s.size() + wf::page_layout::kSize - 1);
     }},
    {"layout_records_past_block", 'R', "body records run past the block", 0, 1,
     [](PackageImage& p) {
       Bytes& s = Settings(p);
       uint32_t at = wf::LoadU32(s.data() + ss::kLayouts + 4);  // the last layout
       uint32_t records = (s.size() - at - wf::page_layout::kSize) / wf::control_record::kSize;
       wf::StoreU16(s.data() + at + wf::page_layout::kBodyCount, records + 1);
       wf::StoreU32(s.data() + at + wf::page_layout::kBodyRecords, wf::page_layout::kSize);
     }},
    {"negative_button_count", 'R', "button records", 0, 1,
     [](PackageImage& p) { wf::StoreU32(Settings(p).data() + ss::kButtonCount, 0xFFFFFFFF); }},
    {"variant_list_one_pair_short", 'R', "background variant list", 0, 1,
     Replace(wf::kBlockBackgroundVariants, Words({2, 640, 480}))},
    {"single_page_names_missing_type", 'R', "name install type 2 of 2", 0, 1,
     Extra(wf::kBlockSinglePage, {0, 0, 2, 0})},
    {"bitmap_offset_at_table_end", 'R', "bitmap 1 at offset 8", 0, 0, Replace(wf::kBlockBitmapTable, Words({1, 8}))},
    {"entry_size_below_fixed_part", 'R', "its size 8 runs beyond the table", 0, 1,
     [](PackageImage& p) { wf::StoreU32(Entry(p, fe::kRecordSize), 8); }},
    {"table_count_beyond_entries", 'R', "the table ends (its count says 3 entries)", 0, 1,
     [](PackageImage& p) { Payload(p, wf::kBlockFileTable, 1)[0] += 1; }},
    {"entry_data_past_data_area", 'L', "runs past the DataArea", 0, 1,
     [](PackageImage& p) { wf::StoreU32(Entry(p, fe::kStoredLength), 900000); }},
    {"entry_name_escapes", 'L', "refused name", 0, 1,
     {}, [](wrenly::builder::Project& s) { s.types[0].files[0].items[0] = "..\\evil.txt"; }},
    {"entry_checksum_mismatch", 'L', "checksum", 1, 1, [](PackageImage& p) { *Entry(p, fe::kChecksum) ^= 1; }},
    {"entry_size_larger_than_data", 'L', "decodes to 15 bytes, its size says 16", 1, 1,
     [](PackageImage& p) { *Entry(p, fe::kSize) += 1; }},
    {"entry_bad_stream", 'L', "bzip2 stream", 1, 1,
     [](PackageImage& p) { p.dataArea[wf::LoadU32(Entry(p, fe::kDataOffset, 1)) + 100] ^= 0x40; }},
    {"volume_missing", 'L', "setup.D02 is missing", 0, 1, [](PackageImage& p) { p.volumeSize = 2000; }, {},
     [](const fs::path& setup) { fs::remove(fs::path(setup).replace_extension(".D02")); }},
    {"volume_shorter_than_its_count", 'L', "holds 996 data bytes, its count says", 0, 1,
     [](PackageImage& p) { p.volumeSize = 3000; }, {},
     [](const fs::path& setup) { fs::resize_file(fs::path(setup).replace_extension(".D01"), 1000); }},
};

}  // namespace

std::span<const DamageRecipe> DamageRecipes() { return kRecipes; }

const DamageRecipe* FindDamage(std::string_view name) {
  for (auto& r : kRecipes)
    if (name == r.name) return &r;
  return nullptr;
}

fs::path WriteDamaged(const DamageRecipe& recipe, const fs::path& setup) {
  wrenly::builder::Project plan = TypicalPlan();
  if (recipe.plan) recipe.plan(plan);
  PackageImage image = Craft(plan);
  if (recipe.image) recipe.image(image);
  image.Write(setup);
  if (recipe.files) recipe.files(setup);
  return setup;
}
