#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "damage.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "package/block_checks.h"
#include "fixtures.h"
#include "package/install_types.h"
#include "package/package_model.h"
#include "text/messages.h"

namespace wf = wrenly::format;

namespace {

using Loading = InstallerTest;

// The signature window: from offset 1020 to the end of the first 200,000 bytes.
TEST_F(Loading, SignaturePlacementTable) {
  const std::pair<uint32_t, bool> cases[] = {{1020, true}, {1019, false}, {199994, true}, {199995, false}};
  for (auto [at, found] : cases) {
    PackageImage p = TypicalPackage();
    p.signatureAt = at;
    EXPECT_EQ(LoadFile(p.Build()), found ? 1 : 0) << at;
    if (found) EXPECT_EQ(PackageFirstBlock, at + 6);
  }
  SetOwnPath("/nonexistent/wrenly/setup.exe");
  EXPECT_EQ(LoadPackage(), 0);
  EXPECT_TRUE(Fake.messages.empty());
}

// Title payloads only the loader is shown; the refusals both readers share
// are damage recipes.
TEST_F(Loading, PayloadsTable) {
  Bytes abc{'a', 'b', 0}, trailing = CompressedPayload(3, 1, Zlib(abc)), cut = CompressedPayload(3, 2, Bzip2(abc));
  trailing.push_back(0x55);
  cut.resize(cut.size() - 3);
  const std::tuple<const char*, Bytes, int> cases[] = {
      {"bzip2", CompressedPayload(3, 2, Bzip2(abc)), 1}, {"bytes after the stream", trailing, 1},
      {"empty without stream", Bytes{0, 0, 0, 0, 1}, 0},  // an empty title is no string
      {"cut bzip2 stream", cut, 0}, {"bzip2 longer than its size", CompressedPayload(2, 2, Bzip2(abc)), 0},
  };
  for (auto& [name, payload, loads] : cases) {
    PackageImage p = TypicalPackage();
    p.Add(wf::kBlockTitleText, payload, 1);
    EXPECT_EQ(LoadFile(p.Build()), loads) << name;
    if (loads) EXPECT_EQ(Bytes(ThePackage.titleText, ThePackage.titleText + ThePackage.titleTextSize), abc) << name;
  }
}

TEST_F(Loading, CompressedSettingsAndLayouts) {
  Bytes settings = SettingsBlock({0});
  uint32_t layout = wf::setup_settings::kFixedSize;
  // Body records right after the layout's head, filling the block exactly.
  wf::StoreU16(settings.data() + layout + wf::page_layout::kBodyCount, 2);
  wf::StoreU32(settings.data() + layout + wf::page_layout::kBodyRecords, wf::page_layout::kSize);
  settings.resize(layout + wf::page_layout::kSize + 2 * wf::control_record::kSize, 0x5A);
  PackageImage p;
  p.Add(wf::kBlockSetupSettings, settings, 0, 1).AddType().Add(wf::kBlockFileTable, FileTable({}));
  p.Add(0x4321, {});  // an empty unknown block
  ASSERT_EQ(LoadFile(p.Build()), 1);
  // Kind 10 is the program's own layout; the stored offsets are left as they were.
  EXPECT_EQ(std::tuple(Bytes(ThePackage.settings, ThePackage.settings + ThePackage.settingsSize),
                       ThePackage.layouts[0], ThePackage.layouts[2], ThePackage.layouts[10],
                       wf::LoadU32(ThePackage.settings + wf::setup_settings::kClosingLayoutSlot)),
            std::tuple(settings, ThePackage.settings + layout, nullptr, BuiltInClosingLayout(), 0u));
}

TEST_F(Loading, CompletenessTable) {
  // Bytes of the 100-byte DataArea present (past 100: trailing bytes; -1 not
  // even the size field), whether resumed or single-page, loads, message.
  const std::tuple<const char*, int, bool, bool, int, bool> cases[] = {
      {"whole", 100, false, false, 1, false},
      {"longer than needed", 109, false, false, 1, false},
      {"cut before the size field", -1, false, false, 0, false},
      {"resumed without DataArea", 0, true, false, 1, false},
      {"resumed with DataArea", 100, true, false, 0, true},
      {"single page accepts a cut DataArea", 60, false, true, 1, false},
  };
  for (auto [name, kept, resume, singlePage, loads, message] : cases) {
    Fresh();
    Options.resumeType = resume;
    PackageImage p = TypicalPackage();
    if (singlePage) p.Add(wf::kBlockSinglePage, Bytes{5, 0, 0, 0});
    p.trailing = kept > 100 ? kept - 100 : 0;
    if (kept <= 100) p.cutAt = p.EndBlockAt() + 12 + (kept < 0 ? -2 : kept);
    EXPECT_EQ(LoadFile(p.Build()), loads) << name;
    ASSERT_EQ(Fake.messages.size(), message ? 1u : 0u) << name;
    if (message) EXPECT_EQ(Fake.messages[0].first, "The package is incomplete.") << name;
  }
}

// A package that lacks what its run needs would end in a success that
// installed nothing, or an empty uninstaller: refused before any window.
TEST_F(Loading, WhatTheRunNeedsTable) {
  auto drop = [](PackageImage& p, uint16_t id) { std::erase_if(p.blocks, [id](const Block& b) { return b.id == id; }); };
  auto uninstallerEntry = [](PackageImage& p) { p.Find(wf::kBlockFileTable)->payload = FileTable({{}, {.status = 2}}); };
  const std::tuple<const char*, std::function<void(PackageImage&)>, int> cases[] = {
      {"typical", [](PackageImage&) {}, 1},
      {"no settings", [&](PackageImage& p) { drop(p, wf::kBlockSetupSettings); }, 0},
      {"a type without its file table", [&](PackageImage& p) { drop(p, wf::kBlockFileTable); }, 0},
      {"a second type without one", [](PackageImage& p) { p.AddType(); }, 0},
      {"an uninstaller entry without the image", uninstallerEntry, 0},
      {"an uninstaller entry with an empty image",
       [&](PackageImage& p) { uninstallerEntry(p), p.Add(wf::kBlockUninstallerImage, {}); }, 0},
      {"an uninstaller entry with the image",
       [&](PackageImage& p) { uninstallerEntry(p), p.Add(wf::kBlockUninstallerImage, Bytes{'M', 'Z'}); }, 1},
  };
  for (auto& [name, change, loads] : cases) {
    PackageImage p = TypicalPackage();
    change(p);
    EXPECT_EQ(LoadFile(p.Build()), loads) << name;
    EXPECT_TRUE(Fake.messages.empty()) << name;
  }
}

TEST_F(Loading, BackgroundTable) {
  // Resumed, with a variant list, the bitmap kept (-1 none).
  const std::tuple<int, bool, int> cases[] = {{0, true, 2}, {1, true, -1}, {0, false, -1}};
  for (auto [resume, variants, chosen] : cases) {
    Fresh();
    Fake.screenWidth = 1152, Fake.screenHeight = 864, Options.resumeType = resume;
    PackageImage p = TypicalPackage();
    p.Add(wf::kBlockBitmapTable, Bytes{0, 0, 0, 0});
    if (variants) p.Add(wf::kBlockBackgroundVariants, Words({3, 800, 600, 1024, 768, 1280, 1024}));
    for (uint8_t v = 0; v < 3; ++v) p.Add(wf::kBlockBackgroundBitmap, Bytes(20 + v, v));
    if (resume) p.dataArea.clear();
    ASSERT_EQ(LoadFile(p.Build()), 1) << resume;
    const uint8_t* bg = ThePackage.background;
    EXPECT_EQ(std::pair(ThePackage.bitmapTable != nullptr, bg ? Bytes(bg, bg + ThePackage.backgroundSize) : Bytes{}),
              std::pair(resume == 0, chosen >= 0 ? Bytes(20 + chosen, chosen) : Bytes{}));
  }
}

TEST_F(Loading, TypesAndTheirBlocks) {
  PackageImage p;
  p.Add(wf::kBlockSetupSettings, SettingsBlock());
  InstallTypeFields first{.defaultFolder = "D:\\First"}, second{.defaultFolder = "#parent#"};
  p.AddType(first).Add(wf::kBlockFileTable, FileTable({{}, {}, {}})).Add(wf::kBlockUninstallSections, Bytes{9, 9});
  p.AddType(second).Add(wf::kBlockFileTable, FileTable({{}}));
  p.Add(wf::kBlockFileTable, FileTable({{}, {}}));  // a second one replaces the first
  ASSERT_EQ(LoadFile(p.Build()), 1);
  const uint8_t* seq = ThePackage.types[1].record + wf::install_type::kPageSequence;
  EXPECT_EQ(std::tuple(ThePackage.typeCount, ThePackage.entryCount, std::string(InstallFolder),
                       ThePackage.types[0].sectionsSize, ThePackage.types[1].sections, Bytes(seq, seq + 8)),
            std::tuple(2, 3u, "D:\\First", 2u, nullptr, Bytes{0, 1, 3, 4, 5, 6, 10, 0xFF}));

  // The edited folder of a type is kept when another type is selected; "#parent#"
  // takes the first type's folder. Braces keep the calls and reads in order.
  std::strcpy(InstallFolder, "E:\\Edited");
  EXPECT_EQ((std::tuple{SelectInstallType(1), std::string(InstallFolder), ThePackage.entryCount}),
            std::tuple(1, "D:\\First", 2u));
  EXPECT_EQ((std::tuple{SelectInstallType(0), std::string(InstallFolder), SelectInstallType(2), ThePackage.current}),
            std::tuple(1, "E:\\Edited", 0, 0));

  // Single-page settings choose the initial type.
  p.Add(wf::kBlockSinglePage, Bytes{6, 0, 1, 0});
  ASSERT_EQ(LoadFile(p.Build()), 1);
  EXPECT_EQ(std::tuple(SinglePageMode, SinglePageKind, ThePackage.current), std::tuple(true, 6, 1));
}

using Folders = InstallerTest;

// TypesAndTheirBlocks covers the default and "#parent#" across types; these rows the folder a former install stored.
TEST_F(Folders, PreviousFolderTable) {
  Fake.AddFolder("C:\\Program Files\\Other");
  Fake.AddFolder("C:\\Program Files\\App");
  Fake.files = {"C:\\Program Files\\App\\app.exe"};
  const std::string kApp = "C:\\Program Files\\App", kOther = "C:\\Program Files\\Other";
  const std::tuple<std::string, std::optional<std::string>, std::optional<std::string>, std::string> cases[] = {
      // default, HKCU Software\Demo Path, demo.ini [Setup] Path, the folder
      {"#Windows#\\Demo", {}, {}, "C:\\WINDOWS\\Demo"},
      {"#PARENT#", kApp + "\\app.exe", {}, "C:\\Program Files"},  // a file names its folder
      {"C:\\Default", "c:\\program files\\app", {}, "c:\\Program Files\\App"},  // spelt as stored
      {"C:\\Default", "C:\\Gone\\a.exe", {}, "C:\\Default"},
      {"C:\\Default", {}, kOther, kOther}, {"C:\\Default", kApp, kOther, kApp},
  };
  InstallTypeFields plan;
  plan.folderKey = "Software\\Demo";
  plan.folderValue = plan.iniKey = "Path";
  plan.iniFile = "demo.ini";
  plan.iniSection = "Setup";
  for (auto& [defaultFolder, registryValue, iniValue, expected] : cases) {
    plan.defaultFolder = defaultFolder;
    Fake.registry.clear(), Fake.ini.clear();
    if (registryValue) Fake.registry["1|Software\\Demo|Path"] = *registryValue;
    if (iniValue) Fake.ini["demo.ini|Setup|Path"] = *iniValue;
    Bytes record = InstallTypeRecord(plan);
    InstallTypeSlot slot{record.data(), uint32_t(record.size())};
    ASSERT_TRUE(ResolveInstallType(&slot));
    DetectPreviousFolder(&slot);
    EXPECT_EQ(InstallFolder, expected) << defaultFolder << " " << registryValue.value_or("-");
  }
}

class Damaged : public InstallerTest, public ::testing::WithParamInterface<DamageRecipe> {};

TEST_P(Damaged, LoaderAnswersAsTheRecipeSays) {
  const DamageRecipe& r = GetParam();
  SetOwnPath(WriteDamaged(r, Path("setup.exe")).string());
  EXPECT_EQ(LoadPackage(), r.loader == 'L' ? 1 : 0);
  EXPECT_EQ(Fake.messages.size(), r.loader == 'M' ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Recipes, Damaged, ::testing::ValuesIn(DamageRecipes().begin(), DamageRecipes().end()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
