#include "damage.h"
#include "fixtures.h"
#include "format/container.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "package/block_checks.h"
#include "package/install_types.h"
#include "text/messages.h"

namespace {

using Loading = InstallerTest;

// Edits of the typical package: whether it loads, with the incomplete-package
// message or none, and the title and background it keeps. A package that
// lacks what its run needs would end in a success that installed nothing, or
// an empty uninstaller: refused before any window. Title payloads only the
// loader is shown; the refusals both readers share are damage recipes.
TEST_F(Loading, EditedTypicalPackageTable) {
  using Edit = std::function<void(PackageImage&)>;
  auto drop = [](uint16_t id) -> Edit {
    return [id](PackageImage& p) { std::erase_if(p.blocks, [id](const Block& b) { return b.id == id; }); };
  };
  auto add = [](uint16_t id, Bytes payload, uint16_t flags = 0) -> Edit {
    return [=](PackageImage& p) { p.Add(id, payload, flags); };
  };
  auto both = [](Edit a, Edit b) -> Edit {
    return [=](PackageImage& p) {
      for (const Edit& e : {a, b}) e(p);
    };
  };
  Edit resumed = [this](PackageImage&) { setup.options.resumeType = 1; };
  auto title = [&](Bytes payload) { return add(wf::kBlockTitleText, payload, wf::kBlockCompressed); };
  auto signature = [](uint32_t at) -> Edit { return [at](PackageImage& p) { p.signatureAt = at; }; };
  // The 100-byte the DataArea cut to n bytes (-2: into its size field).
  auto kept = [](int n) -> Edit {
    return [n](PackageImage& p) {
      std::vector<uint32_t> at;
      p.Build(&at), p.cutAt = at.back() + 12 + n;
    };
  };
  auto uninstaller = [](std::optional<Bytes> image) -> Edit {
    return [=](PackageImage& p) {
      p.Find(wf::kBlockFileTable)->payload = FileTable({{}, {.status = wf::kOptUninstaller}});
      if (image) p.Add(wf::kBlockUninstallerImage, *image);
    };
  };
  auto background = [this](int resume, bool variants) -> Edit {  // three bitmaps for 1152 x 864
    return [=, this](PackageImage& p) {
      setup.options.resumeType = resume;
      p.Add(wf::kBlockBitmapTable, Bytes{0, 0, 0, 0});
      if (variants) p.Add(wf::kBlockBackgroundVariants, Words({3, 800, 600, 1024, 768, 1280, 1024}));
      for (uint8_t v = 0; v < 3; ++v) p.Add(wf::kBlockBackgroundBitmap, Bytes(20 + v, v));
      if (resume) p.dataArea.clear();
    };
  };
  Bytes abc{'a', 'b', 0}, trailing = CompressedPayload(3, wf::kMethodZlib, Zlib(abc)),
                          cut = CompressedPayload(3, wf::kMethodBzip2, Bzip2(abc));
  trailing.push_back(0x55);
  cut.resize(cut.size() - 3);
  struct {
    const char* name;
    Edit edit;
    int loads;
    bool message = false;
    int background = -1;
  } cases[] = {
      {"typical", [](PackageImage&) {}, 1},
      // The signature window: from offset 1020 to the end of the first 200,000 bytes.
      {"at 1020", signature(1020), 1},
      {"at 199994", signature(199994), 1},
      {"at 199995", signature(199995), 0},
      {"bzip2 title", title(CompressedPayload(3, 2, Bzip2(abc))), 1},
      {"bytes after the stream", title(trailing), 1},
      {"empty title without stream", title({0, 0, 0, 0, 1}), 0},  // an empty title is no string
      {"cut bzip2 stream", title(cut), 0},
      {"bzip2 longer than its size", title(CompressedPayload(2, 2, Bzip2(abc))), 0},
      {"DataArea longer than needed", [](PackageImage& p) { p.trailing = 9; }, 1},
      {"cut before the size field", kept(-2), 0},
      {"resumed without DataArea", both(resumed, kept(0)), 1},
      {"resumed with DataArea", resumed, 0, true},
      {"single page accepts a cut DataArea", both(add(wf::kBlockSinglePage, {wf::kPageProgress, 0, 0, 0}), kept(60)),
       1},
      {"no settings", drop(wf::kBlockSetupSettings), 0},
      {"a type without its file table", drop(wf::kBlockFileTable), 0},
      {"a second type without one", [](PackageImage& p) { p.AddType(); }, 0},
      {"an uninstaller entry without the image", uninstaller({}), 0},
      {"an uninstaller entry with an empty image", uninstaller(Bytes{}), 0},
      {"an uninstaller entry with the image", uninstaller(Bytes{'M', 'Z'}), 1},
      // Optional: damaged product details are left out, the package still loads.
      {"product details one byte short", add(wf::kBlockProductDetails, {1, 0, '1', 0, 0, 2, 0, 'x'}), 1},
      {"product details in a broken stream", add(wf::kBlockProductDetails, cut, wf::kBlockCompressed), 1},
      {"background by the variant list", background(0, true), 1, false, 2},
      {"none when resumed", background(1, true), 1},
      {"none without variants", background(0, false), 1},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh(), Fake.screenWidth = 1152, Fake.screenHeight = 864;
    PackageImage p = TypicalPackage();
    c.edit(p);
    EXPECT_EQ(LoadFile(p.Build()), c.loads);
    using Shown = decltype(Fake.messages);
    EXPECT_EQ(Fake.messages, c.message ? Shown({{"The package is incomplete.", "Demo Setup"}}) : Shown());
    if (!c.loads) continue;
    EXPECT_EQ(setup.package.details, nullptr);
    const uint8_t *title = setup.package.titleText, *bg = setup.package.background;
    EXPECT_EQ(
        std::tuple(setup.package.firstBlock, title ? Bytes(title, title + setup.package.titleTextSize) : Bytes{},
                   setup.package.bitmapTable != nullptr, bg ? Bytes(bg, bg + setup.package.backgroundSize) : Bytes{}),
        std::tuple(p.signatureAt + 6, p.Find(wf::kBlockTitleText) ? abc : Bytes{},
                   p.Find(wf::kBlockBitmapTable) && !setup.options.resumeType,
                   c.background >= 0 ? Bytes(20 + c.background, c.background) : Bytes{}));
  }
  Fresh(), SetOwnPath(Path("absent.exe"));
  EXPECT_EQ((std::tuple{LoadPackage(setup), Fake.messages.size()}), std::tuple(0, 0u));
}

TEST_F(Loading, CompressedSettingsAndLayouts) {
  Bytes settings = SettingsBlock({0});
  uint32_t layout = wf::setup_settings::kFixedSize;
  // Body records right after the layout's head, filling the block exactly.
  wf::StoreU16(settings.data() + layout + wf::page_layout::kBodyCount, 2);
  wf::StoreU32(settings.data() + layout + wf::page_layout::kBodyRecords, wf::page_layout::kSize);
  settings.resize(layout + wf::page_layout::kSize + 2 * wf::control_record::kSize, 0x5A);
  PackageImage p;
  p.Add(wf::kBlockSetupSettings, settings, 0, wf::kMethodZlib).AddType().Add(wf::kBlockFileTable, FileTable({}));
  p.Add(0x4321, {});  // an empty unknown block
  ASSERT_EQ(LoadFile(p.Build()), 1);
  // Kind 10 is the program's own layout; the stored offsets are left as they were.
  EXPECT_EQ(std::tuple(Bytes(setup.package.settings, setup.package.settings + setup.package.settingsSize),
                       setup.package.layouts[0], setup.package.layouts[2], setup.package.layouts[10],
                       wf::LoadU32(setup.package.settings + wf::setup_settings::kClosingLayoutSlot)),
            std::tuple(settings, setup.package.settings + layout, nullptr, BuiltInClosingLayout(), 0u));
}

TEST_F(Loading, TypesAndTheirBlocks) {
  PackageImage p;
  p.Add(wf::kBlockSetupSettings, SettingsBlock()).AddType({.defaultFolder = "D:\\First"});
  p.Add(wf::kBlockFileTable, FileTable({{}, {}, {}})).Add(wf::kBlockUninstallSections, Bytes{9, 9});
  p.AddType({.defaultFolder = "#parent#"}).Add(wf::kBlockFileTable, FileTable({{}}));
  p.Add(wf::kBlockFileTable, FileTable({{}, {}}));  // a second one replaces the first
  ASSERT_EQ(LoadFile(p.Build()), 1);
  const uint8_t* seq = setup.package.types[1].record + wf::install_type::kPageSequence;
  EXPECT_EQ(std::tuple(setup.package.typeCount, setup.package.entryCount, std::string(setup.installFolder),
                       setup.package.types[0].sectionsSize, setup.package.types[1].sections, Bytes(seq, seq + 8)),
            std::tuple(2, 3u, "D:\\First", 2u, nullptr, Bytes{0, 1, 3, 4, 5, 6, 10, 0xFF}));

  // The edited folder of a type is kept when another type is selected; "#parent#"
  // takes the first type's folder. Braces keep the calls and reads in order.
  std::strcpy(setup.installFolder, "E:\\Edited");
  EXPECT_EQ((std::tuple{SelectInstallType(setup, 1), std::string(setup.installFolder), setup.package.entryCount}),
            std::tuple(1, "D:\\First", 2u));
  EXPECT_EQ((std::tuple{SelectInstallType(setup, 0), std::string(setup.installFolder), SelectInstallType(setup, 2),
                        setup.package.current}),
            std::tuple(1, "E:\\Edited", 0, 0));

  // Single-page settings choose the initial type.
  p.Add(wf::kBlockSinglePage, Bytes{wf::kPageFinish, 0, 1, 0});
  ASSERT_EQ(LoadFile(p.Build()), 1);
  EXPECT_EQ(std::tuple(setup.singlePageMode, setup.singlePageKind, setup.package.current),
            std::tuple(true, wf::kPageFinish, 1));
}

using Folders = InstallerTest;

// TypesAndTheirBlocks covers the default and "#parent#" across types; these rows the folder a former install stored.
TEST_F(Folders, PreviousFolderTable) {
  Fake.AddFolder("C:\\Program Files\\Other"), Fake.AddFolder("C:\\Program Files\\App");
  Fake.files = {"C:\\Program Files\\App\\app.exe"};
  const std::string kApp = "C:\\Program Files\\App", kOther = "C:\\Program Files\\Other";
  const std::tuple<std::string, std::optional<std::string>, std::optional<std::string>, std::string> cases[] = {
      // default, HKCU Software\Demo Path, demo.ini [Setup] Path, the folder
      {"#Windows#\\Demo", {}, {}, "C:\\WINDOWS\\Demo"},
      {"#PARENT#", kApp + "\\app.exe", {}, "C:\\Program Files"},                // a file names its folder
      {"C:\\Default", "c:\\program files\\app", {}, "c:\\Program Files\\App"},  // spelt as stored
      {"C:\\Default", "C:\\Gone\\a.exe", {}, "C:\\Default"},
      {"C:\\Default", {}, kOther, kOther},
      {"C:\\Default", kApp, kOther, kApp},
  };
  InstallTypeFields plan{.folderKey = "Software\\Demo",
                         .folderValue = "Path",
                         .iniFile = "demo.ini",
                         .iniSection = "Setup",
                         .iniKey = "Path"};
  for (auto& [defaultFolder, registryValue, iniValue, expected] : cases) {
    plan.defaultFolder = defaultFolder;
    Fake.registry.clear(), Fake.ini.clear();
    if (registryValue) Fake.registry["1|Software\\Demo|Path"] = *registryValue;
    if (iniValue) Fake.ini["demo.ini|Setup|Path"] = *iniValue;
    Bytes record = InstallTypeRecord(plan);
    InstallTypeSlot slot{record.data(), uint32_t(record.size())};
    ASSERT_TRUE(ResolveInstallType(&slot));
    DetectPreviousFolder(setup, &slot);
    EXPECT_EQ(setup.installFolder, expected) << defaultFolder << " " << registryValue.value_or("-");
  }
}

class Damaged : public InstallerTest, public ::testing::WithParamInterface<DamageRecipe> {};

TEST_P(Damaged, LoaderAnswersAsTheRecipeSays) {
  const DamageRecipe& r = GetParam();
  EXPECT_EQ(LoadFile(DamagedFiles(r).front()), r.loader == 'L' ? 1 : 0);
  EXPECT_EQ(Fake.messages.size(), r.loader == 'M' ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Recipes, Damaged, ::testing::ValuesIn(DamageRecipes().begin(), DamageRecipes().end()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
