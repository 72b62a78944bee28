// The inspector's richer package: a themed SetupSettings, pictures, title,
// two install types with files of every kind and their data.
#include "format/bitmaps.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "format/writer.h"
#include "package_writer.h"

namespace wf = wrenly::format;

namespace {

void Control(wf::ByteWriter& w, uint16_t cls, uint16_t id, std::array<int32_t, 4> rect) {
  w.U16(cls);
  w.U16(id);
  w.U32(0x50000804);
  w.Zeros(8);
  for (int32_t v : rect) w.I32(v);
}

Bytes Settings() {
  namespace ss = wf::setup_settings;
  wf::ByteWriter w;
  for (uint32_t v : {wf::kSetGradient | wf::kSetMaximised, 0x00FF0000u, 0u, 490u, 348u, 3u, uint32_t(-11)}) w.U32(v);
  w.Zeros(12);
  w.I32(400);
  w.Zeros(8);
  w.CString("Arial");
  w.Zeros(24 + wf::logfont::kSize - w.size());  // the font began with its height
  for (uint32_t v : {uint32_t(wf::kSystemColour), 48u, 3u, ss::kFixedSize}) w.U32(v);
  w.Zeros(ss::kReservedSize + 4 * (ss::kLayoutCount + 1));
  Control(w, 3, 1, {321, 13, 396, 36});
  Control(w, 3, 2, {405, 13, 480, 36});
  Control(w, 3, 1045, {237, 13, 312, 36});
  for (uint32_t kind : {0u, 1u}) {  // the welcome and information pages
    w.PatchU32(ss::kLayouts + 4 * kind, w.size());
    uint32_t c = wf::kSystemColour;
    for (uint32_t v : {kind ? 0xB20u : 0xF20u, c, c, c, kind ? 0u : 139u, c, kind ? 0u : 1u, kind ? 60u : 0u,
                       0x00FFFFFFu, 0u, kind})
      w.U32(v);
    w.U16(1);     // body controls
    w.U16(kind);  // header controls
    w.U32(wf::page_layout::kSize);
    w.U32(wf::page_layout::kSize + 32);
    Control(w, 15, 1000, {8, 8, wf::control_record::kSpecialSize, wf::control_record::kSpecialSize});
    if (kind == 1) Control(w, 15, 1046, {10, 5, 400, 25});
  }
  return w.bytes();
}

Bytes Dib(int32_t width, int32_t height) {
  wf::ByteWriter w;
  for (int32_t v : {40, width, height}) w.I32(v);
  w.U16(1);
  w.U16(24);
  w.Zeros(24 + ((width * 24 + 31) / 32) * 4 * height);
  return w.bytes();
}

Bytes TitleStyle() {
  wf::ByteWriter w;
  for (uint32_t v : {0u, 0x00FFFFFFu, 0u, uint32_t(-24)}) w.U32(v);
  w.Zeros(24);
  w.CString("Arial");
  w.Zeros(72 - w.size());
  return w.bytes();
}

// Uninstaller data: its own texts block, then an end header.
std::string UninstallerData() {
  wf::ByteWriter w;
  w.U16(wf::kUninstallTexts);
  w.U16(0);
  w.U32(5);
  w.CString("Bye!");
  w.U16(wf::kBlockEnd);
  w.Zeros(6);
  return std::string(w.bytes().begin(), w.bytes().end());
}

}  // namespace

TypeSpec PlainType() {
  TypeSpec t;
  t.record.defaultFolder = "#ProgramFiles#\\Demo";
  t.record.typeName = "Full";
  t.record.folderRoot = 2;
  t.record.sequence.back() = wf::install_type::kSequenceEnd;
  return t;
}

PackageImage Craft(const PackageSpec& spec) {
  PackageImage p;
  auto block = [&](uint16_t id, Bytes payload) { p.Add(id, std::move(payload), 0, wf::kMethodZlib); };
  block(wf::kBlockSetupSettings, Settings());
  block(wf::kBlockBitmapTable, [] { Bytes b = Words({2, 12, 0}), d = Dib(3, 2); b.insert(b.end(), d.begin(), d.end()); return b; }());
  block(wf::kBlockBackgroundVariants, VariantList({{1024, 768}}));
  Bytes bmp(wf::kBitmapFileHeaderSize, 0), dib = Dib(4, 4);
  bmp.insert(bmp.end(), dib.begin(), dib.end());
  block(wf::kBlockBackgroundBitmap, bmp);
  block(wf::kBlockTitleText, ToBytes(std::string_view("Demo Product\nSetup", 19)));
  block(wf::kBlockTitleStyle, TitleStyle());
  if (!spec.uninstaller.empty()) block(wf::kBlockUninstallerImage, ToBytes(spec.uninstaller));
  for (const TypeSpec& t : spec.types) {
    std::vector<FileEntrySpec> entries;
    for (const FileSpec& f : t.files) {
      Bytes content = ToBytes(f.content);
      FileEntrySpec e{{f.name}, f.kind, f.flags, f.status, static_cast<uint32_t>(content.size()),
                      wf::UpdateFileChecksum(0, content.data(), content.size())};
      e.versionMS = 0x00010002;
      e.versionLS = 0x00030004;
      e.language = 0x0409;
      e.items.resize(f.kind == wf::kDestCustom ? 10 : 9);
      std::copy(f.items.begin(), f.items.end(), e.items.begin() + 1);
      e.dataOffset = static_cast<uint32_t>(p.dataArea.size());
      if (!(f.flags & (wf::kFlagFolder | wf::kFlagSourceFolder))) {
        Bytes packed = Compress(content, f.method);
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

PackageSpec TypicalSpec() {
  PackageSpec p;
  p.uninstaller = "MZ-uninstaller-image";
  TypeSpec full = PlainType();
  full.record.productName = "Demo Product";
  full.record.folderKey = "Software\\Demo";
  full.record.folderValue = "Path";
  full.record.lists = {std::vector<std::string>{"Welcome to Demo", "Subtitle", "This installs Demo.\nClick Next."},
                       std::vector<std::string>{"Information"}, std::nullopt,
                       std::vector<std::string>{"Destination", "", "Install to:"}, std::nullopt, std::nullopt,
                       std::nullopt, std::vector<std::string>{"Demo Setup", "Browse"},
                       std::vector<std::string>{"< &Back", "&Next >", "Cancel"}};
  std::string big;
  for (int i = 0; i < 5000; ++i) big += "line " + std::to_string(i) + "\n";
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
      {.name = "uninst.exe", .status = wf::kOptUninstaller, .content = UninstallerData()},
  };
  full.record.lists[7]->resize(32);
  full.record.lists[7]->back() = "The package is incomplete.";
  full.sections = "registry-sections";
  TypeSpec mini = PlainType();
  mini.record.productName = "Demo Product (minimal)";
  mini.record.defaultFolder = "#parent#";
  mini.record.sequence = {0, 5, 6, wf::install_type::kSequenceEnd};
  mini.record.lists[0] = std::vector<std::string>{"Hello"};
  mini.files = {{.name = "mini\\only.txt", .content = "minimal only", .method = 2},
                {.name = "flat\\name.txt", .kind = wf::kDestInstallDirFlat, .flags = wf::kFlagTimes,
                 .content = "flat"}};
  p.types = {full, mini};
  return p;
}
