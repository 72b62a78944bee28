// Packages are built from projects and read back with the inspector, which
// refuses whatever the Installer would refuse.
#include <gtest/gtest.h>

#include "builder/package_writer.h"
#include "format/block_ids.h"
#include "format/install_type.h"
#include "format/message_list.h"
#include "format/settings.h"
#include "format/uninstall_log.h"
#include "reader/data_area.h"
#include "reader/package.h"
#include "test_project.h"

namespace wrenly::builder {
namespace {
namespace f = wrenly::format;
namespace in = wrenly::inspector;
using Strings = std::vector<std::string>;

// An entry's data, checked against its size and checksum.
std::string Content(const in::Package& pkg, const f::FileEntryView& e) {
  in::DataAreaReader reader(pkg);
  std::string out;
  auto d = in::DecodeEntry(reader, e.dataOffset, e.storedLength, e.size,
                           [&](const uint8_t* p, size_t n) { out.append(p, p + n); });
  EXPECT_EQ(std::pair(d.size, d.checksum), std::pair(uint64_t{e.size}, e.checksum)) << e.strings[0];
  return out;
}

// An install type's strings in the loader's order, then the texts asked for.
Strings TypeStrings(const in::Bytes& r, std::vector<std::pair<int, int>> texts) {
  Strings out;
  for (uint32_t field : f::install_type::kStringFields)
    out.push_back(f::LoadU32(&r[field]) ? reinterpret_cast<const char*>(&r[f::LoadU32(&r[field])]) : "-");
  for (auto [list, item] : texts) {
    const char* s = f::FindMessageItem(&r[f::LoadU32(&r[f::install_type::kMessageLists + 4 * list])], uint16_t(item));
    out.push_back(s ? s : "-");
  }
  return out;
}

const char* kTwoTypes = R"(
uninstaller = { file = "remove.exe" }
texts = { "7/31" = "broken" }
install_type = [
  { name = "Full", pages = ["welcome", "destination", "ready", "progress", "finish"], texts = { "0/2" = "Full welcome" } },
  { name = "Small", folder = "#parent#", pages = ["welcome", "progress", "finish"], no_progress_page = true }]
[product]
name = "Round Trip"
folder = "#Program Files#\\Round Trip"
register_uninstall = true
folder_registry = { root = "HKCU", key = "Software\\RT", value = "Dir" }
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

TEST(RoundTrip, TheProjectComesBackInInstallerOrder) {
  test::ScratchProject scratch;
  scratch.Write("docs/b.txt", "second doc");
  scratch.Write("docs/a.txt", "first doc");
  scratch.Write("docs/sub/c.txt", std::string(5000, 'c'));
  scratch.Write("app.bin", test::Noise(70000, 1) + std::string(30000, 'z'));
  in::Package pkg = in::ReadPackage(scratch.Build(kTwoTypes));
  std::vector<uint16_t> ids;
  for (const auto& b : pkg.blocks) ids.push_back(b.id);
  EXPECT_EQ(ids, (std::vector<uint16_t>{f::kBlockSetupSettings, f::kBlockBitmapTable, f::kBlockUninstallerImage,
                                        f::kBlockInstallType, f::kBlockUninstallSections, f::kBlockFileTable,
                                        f::kBlockInstallType, f::kBlockUninstallSections, f::kBlockFileTable,
                                        f::kBlockEnd}));
  // The project names no uninstaller program, so the stub stands in for it.
  EXPECT_EQ(pkg.uninstaller, test::ReadAll(scratch.Path("stub.exe")));
  const auto& full = pkg.types[0].record;
  const auto& small = pkg.types[1].record;
  EXPECT_EQ(f::LoadU16(&full[f::install_type::kOptions]),
            f::kOptFolderEditable | f::kOptRegisterUninstall | f::kOptFolderInRegistry);
  EXPECT_EQ(f::LoadU32(&full[f::install_type::kFolderRoot]), 1u);
  EXPECT_EQ(f::LoadU32(&small[f::install_type::kMoreOptions]), uint32_t{f::kMoreOptNoProgressPage});
  std::vector<std::pair<int, int>> texts = {{7, 31}, {0, 2}, {7, 0}, {8, 1}};
  EXPECT_EQ(TypeStrings(full, texts), (Strings{"Round Trip", "Full", "#Program Files#\\Round Trip", "Software\\RT", "Dir",
                                               "-", "-", "-", "broken", "Full welcome", "Round Trip Setup", "&Next >"}));
  Strings smallStrings = TypeStrings(small, texts);
  EXPECT_EQ(Strings(smallStrings.begin() + 1, smallStrings.begin() + 3), (Strings{"Small", "#parent#"}));
  EXPECT_EQ(smallStrings[8], "broken");
  EXPECT_NE(smallStrings[9], "Full welcome");
  // Page sequences leave room for the closing page.
  auto pages = [](const in::Bytes& r) { return std::vector<uint8_t>(&r[f::install_type::kPageSequence], &r[f::install_type::kMessageLists]); };
  EXPECT_EQ(pages(full), (std::vector<uint8_t>{0, 3, 4, 5, 6, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(pages(small), (std::vector<uint8_t>{0, 5, 6, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  std::string s(pkg.types[0].sections->begin(), pkg.types[0].sections->end());
  EXPECT_EQ(f::LoadU16(pkg.types[0].sections->data()), f::kSectionRegistryKey);
  EXPECT_NE(s.find("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Round Trip"), std::string::npos);
  EXPECT_NE(s.find("Software\\RT"), std::string::npos);
  // Every page kind a project can list has a layout; only the welcome page has a side picture.
  const uint8_t* p = pkg.settings->data();
  for (uint32_t kind = 0; kind <= f::kPageFinish; ++kind) {
    const uint8_t* layout = p + f::LoadU32(p + f::setup_settings::kLayouts + 4 * kind);
    ASSERT_NE(layout, p) << kind;
    EXPECT_EQ(std::pair(f::LoadU32(layout + f::page_layout::kSideWidth) != 0,
                        f::LoadU32(layout + f::page_layout::kHeaderHeight) != 0), std::pair(!kind, kind != 0)) << kind;
  }
  // File tables: each type's files, their data back to back in table order.
  Strings names[2];
  uint32_t dataAt = 0;
  for (int t = 0; t < 2; ++t)
    for (const auto& e : pkg.types[t].entries) {
      names[t].push_back(e.strings[f::kItemName]);
      EXPECT_EQ(e.dataOffset, dataAt) << e.strings[0];
      dataAt += e.storedLength;
      Content(pkg, e);
    }
  EXPECT_EQ(dataAt, pkg.DataAreaSize());
  EXPECT_EQ(names[0], (Strings{"remove.exe", "help\\a.txt", "help\\b.txt", "help\\sub\\c.txt", "app.bin", "copy.bin"}));
  EXPECT_EQ(names[1], (Strings{"remove.exe", "app.bin", "copy.bin"}));
  const auto& entries = pkg.types[0].entries;
  EXPECT_EQ(f::LoadU16(entries[0].record + f::file_entry::kStatus), f::kOptUninstaller);
  EXPECT_EQ(Content(pkg, entries[1]), "first doc");
  const auto& app = entries[4];
  EXPECT_EQ(std::tuple(app.kind, app.flags, in::PeekMethod(pkg, app.dataOffset)),
            std::tuple(uint32_t{f::kDestShared}, f::kFlagShared | f::kFlagAllUsersDesktop | (3u << f::kRunKindShift) |
                       f::kFlagRunWait, f::kMethodBzip2));
  EXPECT_EQ(Strings(app.strings, app.strings + f::file_entry::kStringCount),
            (Strings{"app.bin", "RT;RT\\Tools", "App.lnk", "-x", "", "App.lnk", "", "", "#InstallDir#", ""}));
  const auto& copy = entries[5];
  EXPECT_EQ(std::tuple(copy.kind, copy.flags, f::LoadU16(copy.record + f::file_entry::kStatus), copy.strings[f::kItemFolder]),
            std::tuple(uint32_t{f::kDestCustom}, uint32_t{f::kFlagOnlyIfMissing}, f::kOptReadOnly,
                       std::string("#Windows#\\Extra")));
}

// A higher level stores a compressible file in fewer bytes, set per entry or package-wide.
TEST(Compression, TheLevelTakesEffect) {
  test::ScratchProject scratch;
  std::mt19937 rng(3);
  std::string text;
  while (text.size() < 100000) text += std::to_string(rng() % 5000) + (rng() % 7 ? " " : "\n");
  scratch.Write("text.txt", text);
  auto stored = [&](const std::string& setup, const std::string& file) {
    auto pkg = in::ReadPackage(scratch.Build("setup = {" + setup + "}\nfiles = [{ source = \"text.txt\"" + file + " }]\n" + test::kProduct));
    EXPECT_EQ(Content(pkg, pkg.types[0].entries[0]), text);
    return pkg.types[0].entries[0].storedLength;
  };
  EXPECT_LT(stored("level = 9", ""), stored("level = 1", ""));
  EXPECT_LT(stored("", ", level = 9"), stored("", ", level = 1"));
  EXPECT_EQ(stored("level = 1", ", level = 9"), stored("", ", level = 9"));
}

TEST(PackageLayout, BuildsAreReproducible) {
  test::ScratchProject scratch;
  for (int i = 0; i < 12; ++i) scratch.Write("f/file" + std::to_string(i) + ".dat", test::Noise(9000, i));
  std::string toml = test::kProduct + "[[files]]\nsource = \"f/*.dat\"\nkeep_times = true\n";
  EXPECT_EQ(test::ReadAll(scratch.Build(toml, "a.exe")), test::ReadAll(scratch.Build(toml, "b.exe")));
}

// Every volume but the last is exactly volume_size bytes; entries run across them.
TEST(Volumes, DataAreaSplitsAtTheVolumeSize) {
  for (auto [volumeSize, dataBytes] : {std::pair{40000u, 100000u}, {30000u, 20000u}, {65536u, 300000u}}) {
    test::ScratchProject scratch;
    scratch.Write("one.bin", test::Noise(dataBytes, 7));
    scratch.Write("two.bin", test::Noise(dataBytes / 2, 8));
    auto pkg = in::ReadPackage(scratch.Build(test::kProduct + "[setup]\nvolume_size = " + std::to_string(volumeSize) +
                                             "\n[[files]]\nsource = \"*.bin\"\n"));
    ASSERT_GT(pkg.parts.size(), 1u) << volumeSize;
    EXPECT_EQ(pkg.endLengthField, pkg.parts[0].size);
    for (size_t v = 0; v < pkg.parts.size(); ++v) {
      uint64_t size = std::filesystem::file_size(pkg.parts[v].path);
      EXPECT_EQ(size, pkg.parts[v].fileOffset + pkg.parts[v].size) << v;
      EXPECT_TRUE(v + 1 < pkg.parts.size() ? size == volumeSize : size <= volumeSize) << size << " in " << v;
    }
    for (auto& e : pkg.types[0].entries) Content(pkg, e);
  }
  EXPECT_EQ(VolumePath("out/setup.exe", 12).string(), "out/setup.D12");
  EXPECT_EQ(VolumePath("my.dir/setup", 3).string(), "my.dir/setup.D03");
}

}  // namespace
}  // namespace wrenly::builder
