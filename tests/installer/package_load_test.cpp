#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "format/block_ids.h"
#include "format/container.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "installer_fixture.h"
#include "package/package_model.h"
#include "package_builder.h"
#include "text/messages.h"

namespace wf = wrenly::format;

namespace {

class Loading : public InstallerTest {
 protected:
  int Load(const Bytes& file, const char* name = "setup.exe") {
    SetOwnPath(WriteTempFile(name, file));
    return LoadPackage();
  }
};

TEST_F(Loading, SignaturePlacementTable) {
  struct {
    uint32_t at;
    bool found;
  } cases[] = {{131072, true}, {1020, true}, {1019, false}, {500, false}, {199994, true}, {199995, false}};
  for (auto& c : cases) {
    PackageImage p = TypicalPackage();
    p.signatureAt = c.at;
    SetOwnPath(WriteTempFile("sig.exe", p.Build()));
    FileHandle f = FileOpen(OwnPath, kFileRead);
    ASSERT_NE(f, INVALID_FILE);
    EXPECT_EQ(FindPackage(f), c.found ? 1 : 0) << c.at;
    if (c.found) EXPECT_EQ(PackageFirstBlock, c.at + 6);
    FileClose(f);
    FreePackage();
  }
}

TEST_F(Loading, ShortFileHasNoPackage) {
  EXPECT_EQ(Load(Bytes(1000, 0x77)), 0);
  EXPECT_TRUE(Fake.messages.empty());
}

TEST_F(Loading, MissingFileFails) {
  SetOwnPath("/nonexistent/wrenly/setup.exe");
  EXPECT_EQ(LoadPackage(), 0);
}

TEST_F(Loading, ExampleFigures) {
  // 131,072-byte image, blocks up to an end block at 207,411, 38,603 data bytes.
  PackageImage p;
  p.signatureAt = 131072;
  p.AddType();
  uint32_t used = p.EndBlockAt();
  p.Add(0x5000, Bytes(207411 - used - 8, 0x11));
  p.dataArea = Bytes(38603, 0x22);
  Bytes file = p.Build();
  ASSERT_EQ(file.size(), 246026u);
  ASSERT_EQ(Load(file), 1);
  EXPECT_EQ(PackageFirstBlock, 131078u);
  EXPECT_EQ(DataArea.start, 207423u);
  EXPECT_EQ(DataArea.sizeField, 207419u);
  EXPECT_EQ(DataArea.volumeSize, 38603u);
  EXPECT_EQ(DataArea.bytesLeft, 38603u);
  EXPECT_EQ(DataArea.earlierBytes, 0u);
}

TEST_F(Loading, PayloadsTable) {
  Bytes threeBytes{'a', 'b', 0};
  struct {
    const char* name;
    uint16_t flags;
    Bytes payload;
    int loads;
    Bytes title;  // the title text expected
  } cases[] = {
      {"plain 3 bytes", 0, threeBytes, 1, threeBytes},
      {"zlib", 1, CompressedPayload(3, 1, Zlib(threeBytes)), 1, threeBytes},
      {"bzip2", 1, CompressedPayload(3, 2, Bzip2(threeBytes)), 1, threeBytes},
      {"method 3", 1, CompressedPayload(3, 3, Zlib(threeBytes)), 0, {}},
      {"no method byte", 1, Bytes{3, 0, 0, 0}, 0, {}},
      {"method byte without stream", 1, CompressedPayload(3, 1, {}), 0, {}},
      {"empty without stream", 1, Bytes{0, 0, 0, 0, 1}, 0, {}},  // an empty title is no string
      {"stream shorter than its size", 1, CompressedPayload(4, 1, Zlib(threeBytes)), 0, {}},
      {"stream longer than its size", 1, CompressedPayload(2, 1, Zlib(threeBytes)), 0, {}},
      {"bzip2 longer than its size", 1, CompressedPayload(2, 2, Bzip2(threeBytes)), 0, {}},
      {"cut zlib stream", 1, [&] { Bytes z = CompressedPayload(3, 1, Zlib(threeBytes)); z.pop_back(); return z; }(), 0, {}},
      {"cut bzip2 stream", 1, [&] { Bytes z = CompressedPayload(3, 2, Bzip2(threeBytes)); z.resize(z.size() - 3); return z; }(), 0, {}},
      {"garbage stream", 1, CompressedPayload(3, 1, Bytes{1, 2, 3, 4, 5, 6}), 0, {}},
      {"bytes after the stream", 1, [&] { Bytes z = CompressedPayload(3, 1, Zlib(threeBytes)); z.push_back(0x55); return z; }(), 1, threeBytes},
  };
  for (auto& c : cases) {
    PackageImage p = TypicalPackage();
    p.Add(wf::kBlockTitleText, c.payload, c.flags);
    EXPECT_EQ(Load(p.Build()), c.loads) << c.name;
    if (c.loads)
      EXPECT_EQ(Bytes(ThePackage.titleText, ThePackage.titleText + ThePackage.titleTextSize), c.title) << c.name;
    FreePackage();
  }
}

TEST_F(Loading, CompressedSettingsOf1978Bytes) {
  Bytes settings = SettingsBlock();
  settings.resize(1978, 0x5A);
  PackageImage p;
  p.Add(wf::kBlockSetupSettings, CompressedPayload(1978, 1, Zlib(settings)), wf::kBlockCompressed).AddType();
  ASSERT_EQ(Load(p.Build()), 1);
  ASSERT_EQ(ThePackage.settingsSize, 1978u);
  EXPECT_EQ(Bytes(ThePackage.settings, ThePackage.settings + 1978), settings);
  // Layout slots point into the block; kind 10 is the program's own layout.
  EXPECT_EQ(ThePackage.layouts[0], ThePackage.settings + wf::setup_settings::kFixedSize);
  EXPECT_EQ(ThePackage.layouts[2], nullptr);
  EXPECT_EQ(ThePackage.layouts[10], BuiltInClosingLayout());
  // The stored offsets are left as they were.
  EXPECT_EQ(wf::LoadU32(ThePackage.settings + wf::setup_settings::kClosingLayoutSlot), 0u);
}

TEST_F(Loading, EmptyUnknownBlockIsPassedOver) {
  PackageImage p = TypicalPackage();
  p.blocks.insert(p.blocks.begin(), CraftedBlock{0x4321, 0, {}, std::nullopt});
  p.Add(0x4322, {}).Add(0x4323, Bytes(17, 1));
  EXPECT_EQ(Load(p.Build()), 1);
}

TEST_F(Loading, CompletenessTable) {
  struct {
    const char* name;
    int resume;
    int dataKept;      // bytes of the 100-byte DataArea present; -1 none, not even the size field
    uint32_t trailing;
    bool singlePage;
    int loads;
    bool message;
  } cases[] = {
      {"whole", 0, 100, 0, false, 1, false},
      {"longer than needed", 0, 100, 9, false, 1, false},
      {"cut inside the DataArea", 0, 60, 0, false, 0, true},
      {"cut before the size field", 0, -1, 0, false, 0, false},
      {"resumed without DataArea", 1, 0, 0, false, 1, false},
      {"resumed with DataArea", 1, 100, 0, false, 0, true},
      {"single page accepts a cut DataArea", 0, 60, 0, true, 1, false},
  };
  for (auto& c : cases) {
    ResetRunState();
    Fake.messages.clear();
    Options.resumeType = c.resume;
    PackageImage p = TypicalPackage();
    if (c.singlePage) p.Add(wf::kBlockSinglePage, Bytes{5, 0, 0, 0});
    p.trailing = c.trailing;
    Bytes file = p.Build();
    uint32_t dataStart = p.EndBlockAt() + 12;
    if (c.dataKept >= 0 && c.trailing == 0) file.resize(dataStart + c.dataKept);
    if (c.dataKept < 0) file.resize(dataStart - 2);
    EXPECT_EQ(Load(file), c.loads) << c.name;
    ASSERT_EQ(Fake.messages.size(), c.message ? 1u : 0u) << c.name;
    if (c.message) {
      EXPECT_EQ(Fake.messages[0].first, "The package is incomplete.");
      EXPECT_EQ(Fake.messages[0].second, "Demo Setup");
    }
    FreePackage();
  }
}

TEST_F(Loading, ResumedRunSkipsPictures) {
  for (int resume : {0, 1}) {
    ResetRunState();
    Options.resumeType = resume;
    PackageImage p = TypicalPackage();
    p.Add(wf::kBlockBitmapTable, Bytes{0, 0, 0, 0})
        .Add(wf::kBlockBackgroundVariants, VariantList({{1024, 768}}))
        .Add(wf::kBlockBackgroundBitmap, Bytes(60, 1));
    if (resume) p.dataArea.clear();
    ASSERT_EQ(Load(p.Build()), 1) << resume;
    EXPECT_EQ(ThePackage.bitmapTable != nullptr, resume == 0);
    EXPECT_EQ(ThePackage.background != nullptr, resume == 0);
    FreePackage();
  }
}

TEST_F(Loading, OnlyTheChosenBackgroundVariantIsKept) {
  Fake.screenWidth = 1152;
  Fake.screenHeight = 864;
  PackageImage p = TypicalPackage();
  p.Add(wf::kBlockBackgroundVariants, VariantList({{800, 600}, {1024, 768}, {1280, 1024}}));
  for (uint8_t v = 0; v < 3; ++v) p.Add(wf::kBlockBackgroundBitmap, Bytes(20 + v, v));
  ASSERT_EQ(Load(p.Build()), 1);
  EXPECT_EQ(ThePackage.backgroundSize, 22u);
  EXPECT_EQ(ThePackage.background[0], 2);
}

TEST_F(Loading, NoVariantListLoadsNoBackground) {
  PackageImage p = TypicalPackage();
  p.Add(wf::kBlockBackgroundBitmap, Bytes(20, 1));
  ASSERT_EQ(Load(p.Build()), 1);
  EXPECT_EQ(ThePackage.background, nullptr);
}

TEST_F(Loading, TypesAndTheirBlocks) {
  PackageImage p;
  InstallTypeSpec first, second;
  first.defaultFolder = "D:\\First";
  second.defaultFolder = "#parent#";
  second.sequence = {0, 1, 3, 4, 5, 6, 0xFF};
  p.AddType(first)
      .Add(wf::kBlockFileTable, FileTable(3))
      .Add(wf::kBlockUninstallSections, Bytes{9, 9})
      .AddType(second)
      .Add(wf::kBlockFileTable, FileTable(1))
      .Add(wf::kBlockFileTable, FileTable(2));  // a second one replaces the first
  ASSERT_EQ(Load(p.Build()), 1);
  ASSERT_EQ(ThePackage.typeCount, 2);
  EXPECT_EQ(ThePackage.current, 0);
  EXPECT_EQ(ThePackage.entryCount, 3u);
  EXPECT_STREQ(InstallFolder, "D:\\First");
  EXPECT_EQ(ThePackage.types[0].sectionsSize, 2u);
  EXPECT_EQ(ThePackage.types[1].sections, nullptr);
  const uint8_t* seq = ThePackage.types[1].record + wf::install_type::kPageSequence;
  EXPECT_EQ(Bytes(seq, seq + 8), (Bytes{0, 1, 3, 4, 5, 6, 10, 0xFF}));

  // The edited folder of a type is kept when another type is selected.
  std::strcpy(InstallFolder, "E:\\Edited");
  ASSERT_EQ(SelectInstallType(1), 1);
  EXPECT_STREQ(InstallFolder, "D:\\First");  // "#parent#" took the first type's folder
  EXPECT_EQ(ThePackage.entryCount, 2u);
  ASSERT_EQ(SelectInstallType(0), 1);
  EXPECT_STREQ(InstallFolder, "E:\\Edited");
  EXPECT_EQ(SelectInstallType(2), 0);
  EXPECT_EQ(SelectInstallType(-1), 0);
  EXPECT_EQ(ThePackage.current, 0);
}

TEST_F(Loading, SinglePageSettingsChooseTheInitialType) {
  PackageImage p = TypicalPackage();
  p.AddType().Add(wf::kBlockSinglePage, Bytes{6, 0, 1, 0});
  ASSERT_EQ(Load(p.Build()), 1);
  EXPECT_TRUE(SinglePageMode);
  EXPECT_EQ(SinglePageKind, 6);
  EXPECT_EQ(ThePackage.current, 1);
}

// A settings block whose layout for kind 0 has the given record counts and offsets.
Bytes SettingsWithLayout(uint16_t body, uint32_t bodyAt, uint16_t header = 0, uint32_t headerAt = 0) {
  Bytes s = SettingsBlock({0});
  uint32_t l = wf::setup_settings::kFixedSize;
  wf::StoreU16(s.data() + l + wf::page_layout::kBodyCount, body);
  wf::StoreU32(s.data() + l + wf::page_layout::kBodyRecords, bodyAt);
  wf::StoreU16(s.data() + l + wf::page_layout::kHeaderCount, header);
  wf::StoreU32(s.data() + l + wf::page_layout::kHeaderRecords, headerAt);
  s.resize(s.size() + 64, 0);  // room for two records right after the head
  return s;
}

TEST_F(Loading, LayoutWithItsRecordsInsideLoads) {
  PackageImage p = TypicalPackage();
  p.blocks[0].payload = SettingsWithLayout(2, 56);
  ASSERT_EQ(Load(p.Build()), 1);
  EXPECT_EQ(ThePackage.layouts[0], ThePackage.settings + wf::setup_settings::kFixedSize);
}

// One row per way a package can be damaged: each must be refused silently.
struct DamageCase {
  const char* name;
  std::function<void(PackageImage&)> damage;
};

class Damaged : public Loading, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(Damaged, IsRefusedWithoutMessage) {
  PackageImage p = TypicalPackage();
  GetParam().damage(p);
  EXPECT_EQ(Load(p.Build()), 0);
  EXPECT_TRUE(Fake.messages.empty());
}

Bytes Patched(Bytes b, uint32_t at, uint32_t v) {
  wf::StoreU32(b.data() + at, v);
  return b;
}

InstallTypeSpec WithList(std::vector<std::string> items) {
  InstallTypeSpec s;
  s.lists[3] = std::move(items);
  return s;
}

const uint32_t kRecordLists = wf::install_type::kMessageLists;

INSTANTIATE_TEST_SUITE_P(
    Faults, Damaged,
    ::testing::Values(
        DamageCase{"NoInstallType", [](PackageImage& p) { p.blocks.resize(1); }},
        DamageCase{"SeventeenTypes", [](PackageImage& p) { for (int i = 0; i < 16; ++i) p.AddType(); }},
        DamageCase{"FileTableBeforeFirstType",
                   [](PackageImage& p) { std::swap(p.blocks[1], p.blocks[2]); }},
        DamageCase{"SectionsBeforeFirstType",
                   [](PackageImage& p) {
                     p.blocks.insert(p.blocks.begin(), {wf::kBlockUninstallSections, 0, {1}, std::nullopt});
                   }},
        DamageCase{"RecordTooShort",
                   [](PackageImage& p) { p.blocks[1].payload.resize(101); }},
        DamageCase{"SettingsTooShort",
                   [](PackageImage& p) { p.blocks[0].payload.resize(169); }},
        DamageCase{"StringOffsetOutside",
                   [](PackageImage& p) {
                     p.blocks[1].payload = Patched(p.blocks[1].payload, wf::install_type::kProductName, 5000);
                   }},
        DamageCase{"StringWithoutTerminator",
                   [](PackageImage& p) {
                     InstallTypeSpec s;
                     s.lists = {};
                     Bytes r = InstallTypeRecord(s);
                     r.pop_back();  // the last string is the default folder
                     p.blocks[1].payload = r;
                   }},
        DamageCase{"ListOffsetOutside",
                   [](PackageImage& p) {
                     p.blocks[1].payload = Patched(p.blocks[1].payload, kRecordLists + 4 * 2, 0xFFFFFFF0);
                   }},
        DamageCase{"ListItemsRunPastRecord",
                   [](PackageImage& p) {
                     Bytes r = InstallTypeRecord(WithList({"a", "b"}));
                     r.back() = 'x';  // the last item loses its terminator
                     p.blocks[1].payload = r;
                   }},
        DamageCase{"ListCountPastRecord",
                   [](PackageImage& p) {
                     Bytes r = InstallTypeRecord(WithList({"a"}));
                     uint32_t at = wf::LoadU32(r.data() + kRecordLists + 4 * 3);
                     wf::StoreU16(r.data() + at, 2);
                     p.blocks[1].payload = r;
                   }},
        DamageCase{"InitialTypeOutOfRange",
                   [](PackageImage& p) { p.Add(wf::kBlockSinglePage, Bytes{0, 0, 1, 0}); }},
        DamageCase{"SinglePageTooShort",
                   [](PackageImage& p) { p.Add(wf::kBlockSinglePage, Bytes{0, 0}); }},
        DamageCase{"LayoutHeadOutside",
                   [](PackageImage& p) {
                     Bytes& s = p.blocks[0].payload;
                     wf::StoreU32(s.data() + wf::setup_settings::kLayouts + 4 * 9, s.size() - 55);
                   }},
        DamageCase{"LayoutRecordsOutside",
                   [](PackageImage& p) { p.blocks[0].payload = SettingsWithLayout(3, 56); }},
        DamageCase{"LayoutHeaderRecordsOutside",
                   [](PackageImage& p) { p.blocks[0].payload = SettingsWithLayout(0, 0, 1, 0xFFFFFFF0); }},
        DamageCase{"ButtonRecordsOutside",
                   [](PackageImage& p) {
                     Bytes& s = p.blocks[0].payload;
                     wf::StoreU32(s.data() + wf::setup_settings::kButtonCount, 3);
                     wf::StoreU32(s.data() + wf::setup_settings::kButtonRecords, s.size() - 64);
                   }},
        DamageCase{"NegativeButtonCount",
                   [](PackageImage& p) {
                     wf::StoreU32(p.blocks[0].payload.data() + wf::setup_settings::kButtonCount, 0xFFFFFFFF);
                   }},
        DamageCase{"BitmapOffsetOutside",
                   [](PackageImage& p) { p.Add(wf::kBlockBitmapTable, Bytes{1, 0, 0, 0, 8, 0, 0, 0}); }},
        DamageCase{"BitmapCountOutside",
                   [](PackageImage& p) { p.Add(wf::kBlockBitmapTable, Bytes{2, 0, 0, 0, 4, 0, 0, 0}); }},
        DamageCase{"VariantPairsOutside",
                   [](PackageImage& p) { p.Add(wf::kBlockBackgroundVariants, Bytes{2, 0, 0, 0, 1, 0, 0, 0}); }},
        DamageCase{"FileTableCountOutside",
                   [](PackageImage& p) { p.blocks[2].payload = Patched(p.blocks[2].payload, 0, 3); }},
        DamageCase{"FileEntrySizeOutside",
                   [](PackageImage& p) { p.blocks[2].payload = Patched(p.blocks[2].payload, 4, 4000); }},
        DamageCase{"TitleWithoutTerminator",
                   [](PackageImage& p) { p.Add(wf::kBlockTitleText, Bytes{'a', 'b'}); }},
        DamageCase{"TitleStyleTooShort",
                   [](PackageImage& p) { p.Add(wf::kBlockTitleStyle, Bytes(71, 0)); }},
        DamageCase{"BlockLongerThanFile",
                   [](PackageImage& p) { p.blocks.push_back({0x4444, 0, {1, 2}, 0x7FFFFFF0}); }},
        DamageCase{"PayloadLongerThanFile",
                   [](PackageImage& p) { p.blocks.push_back({wf::kBlockUninstallerImage, 0, {1, 2}, 0xFFFFFFFF}); }},
        DamageCase{"HugeUnpackedSize",
                   [](PackageImage& p) {
                     p.Add(wf::kBlockUninstallerImage, CompressedPayload(0xFFFFFFF0, 1, Zlib({1})), 1);
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// The program's own image must not hold the signature, or the search would
// stop inside the program instead of at the package appended to it.
TEST(StubImage, CarriesNoSignature) {
  for (const char* dir : {WRENLY_WIN32_STUB_DIR, WRENLY_WIN64_STUB_DIR}) {
    std::string path = std::string(dir) + "/installer/wrenly-stub.exe";
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) continue;
    Bytes image;
    for (int c; (c = std::fgetc(f)) != EOF;) image.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    ASSERT_GT(image.size(), 1000u);
    for (size_t i = 0; i + wf::kSignatureSize <= image.size(); ++i)
      ASSERT_FALSE(wf::IsSignatureAt(&image[i])) << path << " at " << i;
  }
}

}  // namespace
