#include "damage.h"

#include "builder/package_writer.h"
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

using Damage = std::function<void(PackageImage&)>;
using Plan = wrenly::builder::Project;
constexpr uint16_t kTable = wf::kBlockFileTable;
constexpr uint32_t kEntry = wf::file_table::kEntries;  // type 0's first entry

Bytes& Payload(PackageImage& p, uint16_t id, int nth = 0) { return p.Find(id, nth)->payload; }
Bytes& Record(PackageImage& p, int type = 0) { return Payload(p, wf::kBlockInstallType, type); }
// Puts `v` at `at` of the nth block `id`.
Damage Set(uint16_t id, uint32_t at, uint32_t v, int nth = 0) {
  return [=](PackageImage& p) { wf::StoreU32(&Payload(p, id, nth)[at], v); };
}
Damage Extra(uint16_t id, Bytes payload, uint16_t flags = 0, std::optional<uint32_t> length = {}) {
  return [=](PackageImage& p) { p.blocks.push_back({id, flags, payload, length}); };
}
// Replaces the block `id` by one holding `payload`.
Damage Replace(uint16_t id, Bytes payload) {
  return [=](PackageImage& p) { *p.Find(id) = {id, 0, payload}; };
}
// A compressed title: zlib's stream of "hi", whatever its method byte and unpacked size say.
Damage Title(uint32_t unpacked, uint8_t method = wf::kMethodZlib) {
  Bytes hi = Zlib(ToBytes(std::string_view("hi", 3)));
  return Extra(wf::kBlockTitleText, CompressedPayload(unpacked, method, hi), wf::kBlockCompressed);
}

Damage Lzma(size_t at, uint8_t value) {
  return [=](PackageImage& p) { p.dataArea[at] = value; };
}
void LzmaReadme(Plan& s) { s.types[0].files[0].compression = wrenly::builder::Compression::kLzma; }

const DamageRecipe kRecipes[] = {
    {"signature_below_1020", 'R', "no package signature", 0, 1, [](PackageImage& p) { p.signatureAt = 1019; }},
    {"payload_length_wraps", 'R', "runs past the end of the file", 0, 1,
     Extra(wf::kBlockUninstallerImage, {1, 2}, 0, 0xFFFFFFFF)},
    {"payload_without_method", 'R', "no room for its size and method", 0, 1,
     Extra(wf::kBlockTitleText, {3, 0, 0, 0}, wf::kBlockCompressed)},
    {"block_method_3", 'R', "unknown compression method 3", 0, 1, Title(3, 3)},
    {"block_stream_short_of_unpacked_size", 'R', "gives 3 bytes, the unpacked size is 10", 0, 1, Title(10)},
    {"block_stream_longer_than_unpacked_size", 'R', "gives more than the unpacked size 2", 0, 1, Title(2)},
    {"huge_unpacked_size", 'R', "implausible unpacked size 4294967280", 0, 1,
     Extra(wf::kBlockUninstallerImage, CompressedPayload(0xFFFFFFF0, wf::kMethodZlib, Zlib({1})),
           wf::kBlockCompressed)},
    {"data_area_truncated", 'M', "truncated", 0, 1, [](PackageImage& p) { p.cutAt = p.Build().size() - 1; }},
    {"no_install_type", 'R', "no install type", 0, 1, {}, [](Plan& s) { s.types.clear(); }},
    {"seventeen_install_types", 'R', "more than 16 install types", 0, 1, {}, [](Plan& s) { s.types.resize(17); }},
    {"file_table_before_first_type", 'R', "comes before the first install type", 0, 1,
     [](PackageImage& p) {
       p.blocks.insert(p.blocks.begin(), {kTable, 0, Words({0})});
     }},
    {"record_too_short", 'R', "at least 102", 0, 1, [](PackageImage& p) { Record(p).resize(it::kFixedSize - 1); }},
    {"product_without_terminator", 'R', "has no terminator inside the record", 0, 1,
     [](PackageImage& p) {
       Bytes& r = Record(p, 1);
       r.push_back('x'), wf::StoreU32(&r[it::kProductName], r.size() - 1);
     }},
    {"list_offset_past_record", 'R', "message list 2", 0, 1, Set(wf::kBlockInstallType, it::kMessageLists + 8, ~15u)},
    {"message_list_count_too_high", 'R', "message list 8", 0, 1,
     [](PackageImage& p) {
       Bytes& r = Record(p);
       wf::StoreU16(&r[wf::LoadU32(&r[it::kMessageLists + 32])], 500);
     }},
    {"page_sequence_without_end", 'L', "no end mark", 0, 0,
     [](PackageImage& p) { std::fill_n(Record(p).begin() + it::kPageSequence, it::kPageSequenceSize, 1); }},
    {"layout_past_block", 'R', "layout of page kind 3", 0, 1,
     [](PackageImage& p) {  // a head of zeros one byte short
       Bytes& s = Payload(p, wf::kBlockSetupSettings);
       wf::StoreU32(s.data() + ss::kLayouts + 4 * 3, s.size()), s.resize(s.size() + wf::page_layout::kSize - 1);
     }},
    {"layout_records_past_block", 'R', "body records run past the block", 0, 1,
     [](PackageImage& p) {
       Bytes& s = Payload(p, wf::kBlockSetupSettings);
       uint32_t at = wf::LoadU32(s.data() + ss::kLayouts + 4);  // records from page kind 1 on, one too many
       uint32_t records = (s.size() - at - wf::page_layout::kSize) / wf::control_record::kSize;
       wf::StoreU16(s.data() + at + wf::page_layout::kBodyCount, records + 1);
       wf::StoreU32(s.data() + at + wf::page_layout::kBodyRecords, wf::page_layout::kSize);
     }},
    {"negative_button_count", 'R', "button records", 0, 1, Set(wf::kBlockSetupSettings, ss::kButtonCount, ~0u)},
    {"variant_list_one_pair_short", 'R', "background variant list", 0, 1,
     Replace(wf::kBlockBackgroundVariants, Words({2, 640, 480}))},
    {"single_page_names_missing_type", 'R', "install type 3; the package has 2", 0, 1,
     Extra(wf::kBlockSinglePage, {0, 0, 2, 0})},
    {"bitmap_offset_at_table_end", 'R', "bitmap 1 at offset 8", 0, 0, Replace(wf::kBlockBitmapTable, Words({1, 8}))},
    {"entry_size_below_fixed_part", 'R', "size 8 runs beyond", 0, 1, Set(kTable, kEntry + fe::kRecordSize, 8)},
    {"table_count_beyond_entries", 'R', "the table ends (its count says 3 entries)", 0, 1, Set(kTable, 0, 3, 1)},
    {"entry_data_past_data_area", 'L', "runs past the DataArea", 0, 1, Set(kTable, kEntry + fe::kStoredLength, 900000)},
    {"entry_name_escapes", 'L', "refused name", 0, 1, nullptr,
     [](Plan& s) { s.types[0].files[0].items[0] = "..\\evil.txt"; }},
    {"entry_checksum_mismatch", 'L', "checksum", 1, 1, Set(kTable, kEntry + fe::kChecksum, 0)},
    {"entry_size_larger_than_data", 'L', "15 bytes, its size says 16", 1, 1, Set(kTable, kEntry + fe::kSize, 16)},
    {"entry_bad_stream", 'L', "bzip2 stream", 1, 1,  // the DataArea's middle lies in a.bmp's bzip2 stream
     [](PackageImage& p) { p.dataArea[p.dataArea.size() / 2] ^= 0x40; }},
    // readme.txt in LZMA: its data first, the method byte, the filter, the dictionary, the first chunk's control.
    {"entry_lzma_unknown_filter", 'L', "unknown LZMA filter 2", 1, 1, Lzma(1, 2), LzmaReadme},
    {"entry_lzma_dictionary_property_41", 'L', "LZMA dictionary property 41", 1, 1, Lzma(2, 41), LzmaReadme},
    {"entry_bad_lzma_stream", 'L', "bad LZMA stream", 1, 1, Lzma(3, 0x03), LzmaReadme},
    {"volume_missing", 'L', "setup.D02 is missing", 0, 1, [](PackageImage& p) { p.volumeSize = 2000; }, nullptr,
     [](std::vector<Bytes>& files) { files[2].clear(); }},
    {"volume_shorter_than_its_count", 'L', "holds 996 data bytes, its count says", 0, 1,
     [](PackageImage& p) { p.volumeSize = 3000; }, nullptr, [](std::vector<Bytes>& files) { files[1].resize(1000); }},
};

}  // namespace

std::span<const DamageRecipe> DamageRecipes() { return kRecipes; }

std::vector<Bytes> DamagedFiles(const DamageRecipe& recipe) {
  Plan plan = TypicalPlan();
  if (recipe.plan) recipe.plan(plan);
  PackageImage image = Craft(plan);
  if (recipe.image) recipe.image(image);
  std::vector<Bytes> files = image.Volumes();
  files.insert(files.begin(), image.Build());
  if (recipe.files) recipe.files(files);
  return files;
}

fs::path WriteDamaged(const DamageRecipe& recipe, const fs::path& setup) {
  std::vector<Bytes> files = DamagedFiles(recipe);
  wrenly::builder::WritePackageFiles(setup, {files[0], {files.begin() + 1, files.end()}});
  for (size_t n = 1; n < files.size(); ++n)
    if (files[n].empty()) fs::remove(wrenly::builder::VolumePath(setup, int(n)));
  return setup;
}
