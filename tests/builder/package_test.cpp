#include <gtest/gtest.h>

#include <bzlib.h>
#include <zlib.h>
#include "builder/build.h"
#include "builder/package_writer.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/message_list.h"
#include "format/settings.h"
#include "format/uninstall_log.h"
#include "test_project.h"

namespace wrenly::builder {
namespace {
namespace f = wrenly::format;

struct Block {
  uint16_t id;
  uint16_t flags;
  std::vector<uint8_t> payload;  // decompressed
};

// Reads a setup program back with the format's own definitions.
struct ParsedPackage {
  uint32_t signatureAt = 0;
  std::vector<Block> blocks;
  std::vector<uint8_t> dataArea;  // across all volumes

  const Block* Find(uint16_t id, int nth = 0) const {
    for (const auto& b : blocks)
      if (b.id == id && nth-- == 0) return &b;
    return nullptr;
  }
};

std::vector<uint8_t> Inflate(const uint8_t* p, size_t n, size_t unpacked) {
  std::vector<uint8_t> out(unpacked);
  uLongf size = static_cast<uLongf>(unpacked);
  EXPECT_EQ(uncompress(out.data(), &size, p, static_cast<uLong>(n)), Z_OK);
  EXPECT_EQ(size, unpacked);
  return out;
}

std::vector<uint8_t> Unpack(const std::vector<uint8_t>& stored, size_t size) {
  if (stored[0] == f::kMethodZlib) return Inflate(stored.data() + 1, stored.size() - 1, size);
  EXPECT_EQ(stored[0], f::kMethodBzip2);
  std::vector<uint8_t> out(size + 1);
  unsigned int n = static_cast<unsigned int>(out.size());
  EXPECT_EQ(BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(out.data()), &n,
                                       const_cast<char*>(reinterpret_cast<const char*>(stored.data() + 1)),
                                       static_cast<unsigned int>(stored.size() - 1), 0, 0),
            BZ_OK);
  out.resize(n);
  return out;
}

ParsedPackage Parse(const std::filesystem::path& setup) {
  ParsedPackage pkg;
  std::vector<uint8_t> file = test::ReadAll(setup);
  f::ByteView view{file.data(), static_cast<uint32_t>(file.size())};
  for (uint32_t p = f::kSignatureMinOffset; p + 6 <= std::min<size_t>(file.size(), f::kSignatureEndLimit); ++p)
    if (f::IsSignatureAt(&file[p])) {
      pkg.signatureAt = p;
      break;
    }
  EXPECT_NE(pkg.signatureAt, 0u);
  uint32_t at = pkg.signatureAt + f::kSignatureSize;
  for (;;) {
    EXPECT_TRUE(view.Has(at, 8));
    f::BlockHeader h = f::ParseBlockHeader(&file[at]);
    at += f::block_header::kSize;
    if (h.id == f::kBlockEnd) {
      uint32_t size;
      EXPECT_TRUE(view.U32(at, &size));
      EXPECT_EQ(h.length, size);
      EXPECT_EQ(file.size(), at + 4 + size) << "the DataArea ends the file";
      pkg.dataArea.assign(file.begin() + at + 4, file.end());
      break;
    }
    Block b{h.id, h.flags, {}};
    if (h.flags & f::kBlockCompressed) {
      uint32_t unpacked = f::LoadU32(&file[at]);
      EXPECT_EQ(file[at + 4], f::kMethodZlib);
      b.payload = Inflate(&file[at + 5], h.length - 5, unpacked);
    } else {
      b.payload.assign(file.begin() + at, file.begin() + at + h.length);
    }
    pkg.blocks.push_back(std::move(b));
    at += h.length;
  }
  for (int v = 1;; ++v) {
    auto path = VolumePath(setup, v);
    if (!std::filesystem::exists(path)) break;
    std::vector<uint8_t> vol = test::ReadAll(path);
    EXPECT_EQ(f::LoadU32(vol.data()), vol.size() - 4);
    pkg.dataArea.insert(pkg.dataArea.end(), vol.begin() + 4, vol.end());
  }
  return pkg;
}

struct Entry {
  f::FileEntryView view;
  std::string name;
};

std::vector<Entry> Entries(const Block& table) {
  f::ByteView v{table.payload.data(), static_cast<uint32_t>(table.payload.size())};
  uint32_t count = f::LoadU32(table.payload.data());
  std::vector<Entry> out;
  uint32_t at = f::file_table::kEntries;
  for (uint32_t i = 0; i < count; ++i) {
    f::FileEntryView e;
    EXPECT_TRUE(f::ParseFileEntry(v, at, &e));
    out.push_back({e, e.strings[f::kItemName]});
    at += e.recordSize;
  }
  EXPECT_EQ(at, table.payload.size());
  return out;
}

std::string Message(const Block& record, int list, uint16_t item) {
  f::ByteView v{record.payload.data(), static_cast<uint32_t>(record.payload.size())};
  uint32_t offset = f::LoadU32(&record.payload[f::install_type::kMessageLists + 4 * list]);
  EXPECT_TRUE(f::ValidateMessageList(v, offset));
  const char* s = f::FindMessageItem(record.payload.data() + offset, item);
  return s ? s : "";
}

std::string StringField(const Block& record, uint32_t field) {
  uint32_t offset = f::LoadU32(&record.payload[field]);
  if (!offset) return "<absent>";
  return reinterpret_cast<const char*>(&record.payload[offset]);
}

std::filesystem::path BuildIn(test::ScratchProject& scratch, const std::string& toml, const char* out = "setup.exe") {
  BuildOptions options;
  options.project = scratch.Project(toml);
  options.stub = scratch.Path("stub.exe");
  options.output = scratch.Path(out);
  options.quiet = true;
  std::ostringstream log;
  Build(options, log);
  return *options.output;
}

const char* kTwoTypes = R"(
[product]
name = "Round Trip"
folder = "#Program Files#\\Round Trip"
register_uninstall = true
folder_registry = { root = "HKCU", key = "Software\\RT", value = "Dir" }

[uninstaller]
file = "remove.exe"

[texts]
"7/31" = "broken"

[[install_type]]
name = "Full"
pages = ["welcome", "destination", "ready", "progress", "finish"]
[install_type.texts]
"0/2" = "Full welcome"

[[install_type]]
name = "Small"
folder = "#parent#"
pages = ["welcome", "progress", "finish"]
no_progress_page = true

[[files]]
source = "docs/"
folder = "help"
types = ["Full"]

[[files]]
source = "app.bin"
compression = "bzip2"
shared = true
destination = "system"
start_menu = { groups = ["RT", "RT\\Tools"], name = "App", args = "-x" }
desktop = { name = "App.lnk", all_users = true }
run = { when = "after-wizard", args = "#InstallDir#", wait = true }

[[files]]
source = "app.bin"
name = "copy.bin"
destination = "#Windows#\\Extra"
read_only = true
only_if_missing = true
)";

class RoundTrip : public testing::Test {
 protected:
  void SetUp() override {
    scratch_.Write("docs/b.txt", "second doc");
    scratch_.Write("docs/a.txt", "first doc");
    scratch_.Write("docs/sub/c.txt", std::string(5000, 'c'));
    scratch_.Write("app.bin", test::ScratchProject::Noise(70000, 1) + std::string(30000, 'z'));
    pkg_ = Parse(BuildIn(scratch_, kTwoTypes));
  }
  test::ScratchProject scratch_;
  ParsedPackage pkg_;
};

TEST_F(RoundTrip, SignatureFollowsTheStub) { EXPECT_EQ(pkg_.signatureAt, 3000u); }

TEST_F(RoundTrip, BlocksComeInInstallerOrder) {
  std::vector<uint16_t> ids;
  for (const auto& b : pkg_.blocks) ids.push_back(b.id);
  // The project names no uninstaller program, so the stub stands in for it.
  std::vector<uint16_t> want = {f::kBlockSetupSettings, f::kBlockBitmapTable, f::kBlockUninstallerImage,
                                f::kBlockInstallType,
                                f::kBlockUninstallSections, f::kBlockFileTable, f::kBlockInstallType,
                                f::kBlockUninstallSections, f::kBlockFileTable};
  EXPECT_EQ(ids, want);
  EXPECT_EQ(pkg_.Find(f::kBlockUninstallerImage)->payload, test::ReadAll(scratch_.Path("stub.exe")));
}

TEST_F(RoundTrip, InstallTypeFields) {
  const Block* full = pkg_.Find(f::kBlockInstallType, 0);
  const Block* small = pkg_.Find(f::kBlockInstallType, 1);
  ASSERT_TRUE(full && small);
  uint16_t options = f::LoadU16(&full->payload[f::install_type::kOptions]);
  EXPECT_EQ(options, f::kOptFolderEditable | f::kOptRegisterUninstall | f::kOptFolderInRegistry);
  EXPECT_EQ(StringField(*full, f::install_type::kProductName), "Round Trip");
  EXPECT_EQ(StringField(*full, f::install_type::kTypeName), "Full");
  EXPECT_EQ(StringField(*full, f::install_type::kDefaultFolder), "#Program Files#\\Round Trip");
  EXPECT_EQ(f::LoadU32(&full->payload[f::install_type::kFolderRoot]), 1u);
  EXPECT_EQ(StringField(*full, f::install_type::kFolderKey), "Software\\RT");
  EXPECT_EQ(StringField(*full, f::install_type::kFolderValue), "Dir");
  EXPECT_EQ(StringField(*full, f::install_type::kIniFile), "<absent>");
  EXPECT_EQ(StringField(*small, f::install_type::kDefaultFolder), "#parent#");
  EXPECT_EQ(f::LoadU32(&small->payload[f::install_type::kMoreOptions]), uint32_t{f::kMoreOptNoProgressPage});
}

TEST_F(RoundTrip, PageSequencesLeaveRoomForTheClosingPage) {
  auto seq = [](const Block* b) {
    return std::vector<uint8_t>(b->payload.begin() + f::install_type::kPageSequence,
                                b->payload.begin() + f::install_type::kPageSequence + 12);
  };
  std::vector<uint8_t> full = {0, 3, 4, 5, 6, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  std::vector<uint8_t> small = {0, 5, 6, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(seq(pkg_.Find(f::kBlockInstallType, 0)), full);
  EXPECT_EQ(seq(pkg_.Find(f::kBlockInstallType, 1)), small);
}

TEST_F(RoundTrip, TextsLayerDefaultsGlobalAndTypeTexts) {
  const Block* full = pkg_.Find(f::kBlockInstallType, 0);
  const Block* small = pkg_.Find(f::kBlockInstallType, 1);
  EXPECT_EQ(Message(*full, 7, 31), "broken");
  EXPECT_EQ(Message(*small, 7, 31), "broken");
  EXPECT_EQ(Message(*full, 0, 2), "Full welcome");
  EXPECT_NE(Message(*small, 0, 2), "Full welcome");
  EXPECT_EQ(Message(*full, 7, 0), "Round Trip Setup");
  EXPECT_EQ(Message(*full, 8, 1), "&Next >");
}

TEST_F(RoundTrip, FileTablesHoldEachTypesFiles) {
  auto full = Entries(*pkg_.Find(f::kBlockFileTable, 0));
  auto small = Entries(*pkg_.Find(f::kBlockFileTable, 1));
  std::vector<std::string> fullNames, smallNames;
  for (auto& e : full) fullNames.push_back(e.name);
  for (auto& e : small) smallNames.push_back(e.name);
  EXPECT_EQ(fullNames, (std::vector<std::string>{"remove.exe", "help\\a.txt", "help\\b.txt", "help\\sub\\c.txt",
                                                 "app.bin", "copy.bin"}));
  EXPECT_EQ(smallNames, (std::vector<std::string>{"remove.exe", "app.bin", "copy.bin"}));
  EXPECT_EQ(f::LoadU16(full[0].view.record + f::file_entry::kStatus), f::kOptUninstaller);

  const auto& app = full[4].view;
  EXPECT_EQ(app.kind, uint32_t{f::kDestShared});
  EXPECT_EQ(app.flags, f::kFlagShared | f::kFlagAllUsersDesktop | (3u << f::kRunKindShift) | f::kFlagRunWait);
  EXPECT_STREQ(app.strings[f::kItemMenuGroups], "RT;RT\\Tools");
  EXPECT_STREQ(app.strings[f::kItemMenuName], "App.lnk");
  EXPECT_STREQ(app.strings[f::kItemMenuArgs], "-x");
  EXPECT_STREQ(app.strings[f::kItemDesktopName], "App.lnk");
  EXPECT_STREQ(app.strings[f::kItemRunArgs], "#InstallDir#");

  const auto& copy = full[5].view;
  EXPECT_EQ(copy.kind, uint32_t{f::kDestCustom});
  EXPECT_STREQ(copy.strings[f::kItemFolder], "#Windows#\\Extra");
  EXPECT_EQ(copy.flags, uint32_t{f::kFlagOnlyIfMissing});
  EXPECT_EQ(f::LoadU16(copy.record + f::file_entry::kStatus), f::kOptReadOnly);
}

TEST_F(RoundTrip, DataAreaIsContiguousAndEveryEntryChecksOut) {
  uint32_t expected = 0;
  for (int t = 0; t < 2; ++t)
    for (auto& e : Entries(*pkg_.Find(f::kBlockFileTable, t))) {
      EXPECT_EQ(e.view.dataOffset, expected) << e.name;
      expected += e.view.storedLength;
      std::vector<uint8_t> stored(pkg_.dataArea.begin() + e.view.dataOffset,
                                  pkg_.dataArea.begin() + e.view.dataOffset + e.view.storedLength);
      std::vector<uint8_t> content = Unpack(stored, e.view.size);
      EXPECT_EQ(content.size(), e.view.size) << e.name;
      EXPECT_EQ(f::UpdateFileChecksum(0, content.data(), content.size()), e.view.checksum) << e.name;
      if (e.name == "app.bin") EXPECT_EQ(stored[0], f::kMethodBzip2);
      if (e.name == "help\\a.txt") EXPECT_EQ(std::string(content.begin(), content.end()), "first doc");
    }
  EXPECT_EQ(expected, pkg_.dataArea.size());
}

TEST_F(RoundTrip, UninstallSectionsNameTheRegistryPlaces) {
  const Block* sections = pkg_.Find(f::kBlockUninstallSections, 0);
  ASSERT_TRUE(sections);
  std::string s(sections->payload.begin(), sections->payload.end());
  EXPECT_NE(s.find("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Round Trip"), std::string::npos);
  EXPECT_NE(s.find("Software\\RT"), std::string::npos);
  EXPECT_EQ(f::LoadU16(sections->payload.data()), f::kSectionRegistryKey);
}

TEST_F(RoundTrip, SettingsDescribeTheDefaultWizard) {
  const Block* s = pkg_.Find(f::kBlockSetupSettings);
  ASSERT_TRUE(s);
  const uint8_t* p = s->payload.data();
  EXPECT_EQ(f::LoadU32(p + f::setup_settings::kWizardWidth), 490u);
  EXPECT_EQ(f::LoadU32(p + f::setup_settings::kWizardHeight), 348u);
  EXPECT_EQ(f::LoadU32(p + f::setup_settings::kButtonBarHeight), 48u);
  EXPECT_EQ(f::LoadU32(p + f::setup_settings::kClosingLayoutSlot), 0u);
  // Every page kind the project can list has a layout whose records lie inside the block.
  for (uint32_t kind = 0; kind <= 6; ++kind) {
    uint32_t at = f::LoadU32(p + f::setup_settings::kLayouts + 4 * kind);
    ASSERT_NE(at, 0u) << kind;
    uint16_t body = f::LoadU16(p + at + f::page_layout::kBodyCount);
    uint16_t header = f::LoadU16(p + at + f::page_layout::kHeaderCount);
    uint32_t bodyAt = f::LoadU32(p + at + f::page_layout::kBodyRecords);
    EXPECT_LE(at + bodyAt + 32u * (body + header), s->payload.size());
    EXPECT_EQ(f::LoadU32(p + at + f::page_layout::kSideWidth), kind == 0 ? 139u : 0u);
    EXPECT_EQ(f::LoadU32(p + at + f::page_layout::kHeaderHeight), kind == 0 ? 0u : 60u);
  }
}

TEST(PackageLayout, ShortStubIsPaddedToTheFirstSearchedOffset) {
  test::ScratchProject scratch;
  scratch.Write("stub.exe", "MZ tiny");
  auto pkg = Parse(BuildIn(scratch, "[product]\nname = \"P\"\n"));
  EXPECT_EQ(pkg.signatureAt, f::kSignatureMinOffset);
}

TEST(PackageLayout, BuildsAreReproducible) {
  test::ScratchProject scratch;
  for (int i = 0; i < 12; ++i) scratch.Write("f/file" + std::to_string(i) + ".dat", test::ScratchProject::Noise(9000, i));
  const char* toml = "[product]\nname = \"P\"\n[[files]]\nsource = \"f/*.dat\"\nkeep_times = true\n";
  auto a = test::ReadAll(BuildIn(scratch, toml, "a.exe"));
  auto b = test::ReadAll(BuildIn(scratch, toml, "b.exe"));
  EXPECT_EQ(a, b);
}

struct VolumeCase {
  uint64_t volumeSize;
  size_t dataBytes;
};

class VolumeTest : public testing::TestWithParam<VolumeCase> {};

TEST_P(VolumeTest, DataAreaSplitsAtTheVolumeSize) {
  const auto& c = GetParam();
  test::ScratchProject scratch;
  scratch.Write("one.bin", test::ScratchProject::Noise(c.dataBytes, 7));
  scratch.Write("two.bin", test::ScratchProject::Noise(c.dataBytes / 2, 8));
  auto setup = BuildIn(scratch, "[product]\nname = \"P\"\n[setup]\nvolume_size = " + std::to_string(c.volumeSize) +
                                    "\n[[files]]\nsource = \"*.bin\"\n");
  auto pkg = Parse(setup);
  EXPECT_EQ(std::filesystem::file_size(setup), c.volumeSize);
  int volumes = 0;
  for (int v = 1; std::filesystem::exists(VolumePath(setup, v)); ++v) {
    ++volumes;
    uint64_t size = std::filesystem::file_size(VolumePath(setup, v));
    EXPECT_LE(size, c.volumeSize);
    if (std::filesystem::exists(VolumePath(setup, v + 1))) EXPECT_EQ(size, c.volumeSize);
  }
  EXPECT_GE(volumes, 1);
  bool crossed = false;
  uint64_t firstPart = std::filesystem::file_size(setup) - (pkg.dataArea.size() - 0);
  (void)firstPart;
  for (auto& e : Entries(*pkg.Find(f::kBlockFileTable))) {
    std::vector<uint8_t> stored(pkg.dataArea.begin() + e.view.dataOffset,
                                pkg.dataArea.begin() + e.view.dataOffset + e.view.storedLength);
    auto content = Unpack(stored, e.view.size);
    EXPECT_EQ(f::UpdateFileChecksum(0, content.data(), content.size()), e.view.checksum);
    crossed = crossed || e.view.storedLength > c.volumeSize / 2;
  }
  EXPECT_TRUE(crossed) << "an entry should run across a volume boundary";
}

INSTANTIATE_TEST_SUITE_P(Sizes, VolumeTest,
                         testing::Values(VolumeCase{40000, 100000}, VolumeCase{30000, 20000},
                                         VolumeCase{65536, 300000}));

TEST(PackageLayout, VolumeSizeBelowTheSetupProgramIsAnError) {
  test::ScratchProject scratch;
  scratch.Write("one.bin", "x");
  EXPECT_THROW(BuildIn(scratch, "[product]\nname = \"P\"\n[setup]\nvolume_size = 2000\n[[files]]\nsource = \"one.bin\"\n"),
               BuildError);
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("setup.exe")));
}

struct VolumeNameCase {
  const char* setup;
  int number;
  const char* volume;
};

class VolumeNameTest : public testing::TestWithParam<VolumeNameCase> {};

TEST_P(VolumeNameTest, ReplacesTheExtension) {
  EXPECT_EQ(VolumePath(GetParam().setup, GetParam().number).string(), GetParam().volume);
}

INSTANTIATE_TEST_SUITE_P(Names, VolumeNameTest,
                         testing::Values(VolumeNameCase{"out/setup.exe", 1, "out/setup.D01"},
                                         VolumeNameCase{"out/setup.exe", 12, "out/setup.D12"},
                                         VolumeNameCase{"out/setup", 2, "out/setup.D02"},
                                         VolumeNameCase{"my.dir/setup", 3, "my.dir/setup.D03"}));

}  // namespace
}  // namespace wrenly::builder
