// The inspector's richer package: the builder's own look (theme, pictures,
// title style, uninstaller data), two install types with files of every kind.
#include "builder/dib.h"
#include "builder/records.h"
#include "builder/theme.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "package_writer.h"

namespace wf = wrenly::format;
namespace wb = wrenly::builder;

TypePlan PlainType() {
  TypePlan t;
  t.record.defaultFolder = "#ProgramFiles#\\Demo";
  t.record.typeName = "Full";
  t.record.folderRoot = 2;
  return t;
}

PackageImage Craft(const PackagePlan& plan) {
  PackageImage p;
  auto block = [&](uint16_t id, Bytes payload) { p.Add(id, std::move(payload), 0, wf::kMethodZlib); };
  block(wf::kBlockSetupSettings, wb::BuildSetupSettings({wf::kSetGradient | wf::kSetMaximised}));
  block(wf::kBlockBitmapTable, wb::BuildBitmapTable({wb::MakeDib({3, 2, Bytes(18)}), wb::MakeDib({1, 1, Bytes(3)})}));
  block(wf::kBlockBackgroundVariants, wb::BuildVariantList({{1024, 768, {}}}));
  block(wf::kBlockBackgroundBitmap, wb::MakeBmpFile({4, 4, Bytes(48, 9)}));
  block(wf::kBlockTitleText, ToBytes(std::string_view("Demo Product\nSetup", 19)));
  block(wf::kBlockTitleStyle, wb::BuildTitleStyle({}));
  if (!plan.uninstaller.empty()) block(wf::kBlockUninstallerImage, ToBytes(plan.uninstaller));
  for (const TypePlan& t : plan.types) {
    std::vector<FileEntryFields> entries;
    for (const FilePlan& f : t.files) {
      Bytes content = ToBytes(f.content);
      FileEntryFields e{{f.name}, f.kind, f.flags, f.status, static_cast<uint32_t>(content.size()),
                      wf::UpdateFileChecksum(0, content.data(), content.size()), 0, 0, 0x00010002, 0x00030004, 0x0409};
      e.items.resize(f.kind == wf::kDestCustom ? 10 : 9);
      std::copy(f.items.begin(), f.items.end(), e.items.begin() + 1);
      e.dataOffset = static_cast<uint32_t>(p.dataArea.size());
      if (!(f.flags & (wf::kFlagFolder | wf::kFlagSourceFolder))) {
        Bytes packed = f.method == 1 ? Zlib(content) : Bzip2(content);
        p.dataArea.push_back(f.method);
        p.dataArea.insert(p.dataArea.end(), packed.begin(), packed.end());
        e.storedLength = static_cast<uint32_t>(p.dataArea.size() - e.dataOffset);
      }
      entries.push_back(e);
    }
    block(wf::kBlockInstallType, InstallTypeRecord(t.record));
    if (!t.sections.empty()) block(wf::kBlockUninstallSections, ToBytes(t.sections));
    block(wf::kBlockFileTable, FileTable(entries));
  }
  return p;
}

PackagePlan TypicalPlan() {
  PackagePlan p;
  p.uninstaller = "MZ-uninstaller-image";
  TypePlan full = PlainType();
  full.record.productName = "Demo Product";
  full.record.folderKey = "Software\\Demo";
  full.record.folderValue = "Path";
  full.record.lists[0] = {"Welcome to Demo", "Subtitle", "This installs Demo.\nClick Next."};
  full.record.lists[7] = std::vector<std::string>(32, "");
  full.record.lists[7]->back() = "The package is incomplete.";
  full.record.lists[8] = {"< &Back", "&Next >", "Cancel"};
  std::string big;
  for (int i = 0; i < 5000; ++i) big += "line " + std::to_string(i) + "\n";
  Bytes bye = wb::BuildUninstallerData({"Bye!"});
  full.files = {
      {.name = "readme.txt", .content = "Read me first.\n", .items = {"Demo", "Readme", "", "", "Readme", ""}},
      {.name = "data\\img\\a.bmp", .content = big, .method = 2},
      {.name = "data\\empty\\", .flags = wf::kFlagFolder},
      {.name = "sys\\x.dll", .kind = wf::kDestWindows, .flags = wf::kFlagVersionCheck | wf::kFlagShared,
       .content = "dll bytes"},
      {.name = "tool.exe", .kind = wf::kDestCustom, .flags = 0x01000000 | wf::kFlagRunWait, .content = "tool",
       .items = {"", "", "", "", "", "", "", "/quiet", "#CommonFiles#\\Acme"}},
      {.name = "extra.txt", .flags = wf::kFlagSourceFolder},
      {.name = "empty.txt", .kind = wf::kDestMyDocuments, .content = ""},
      {.name = "uninst.exe", .status = wf::kOptUninstaller, .content = std::string(bye.begin(), bye.end())},
  };
  full.sections = "registry-sections";
  TypePlan mini = PlainType();
  mini.record.productName = "Demo Product (minimal)";
  mini.record.defaultFolder = "#parent#";
  mini.record.sequence = {0, 5, 6, wf::install_type::kSequenceEnd};
  mini.files = {{.name = "mini\\only.txt", .content = "minimal only", .method = 2},
                {.name = "flat\\name.txt", .kind = wf::kDestInstallDirFlat, .flags = wf::kFlagTimes,
                 .content = "flat"}};
  p.types = {full, mini};
  return p;
}
