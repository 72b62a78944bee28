#include "craft.h"

#include <bzlib.h>
#include <zlib.h>

#include <fstream>
#include <stdexcept>

#include "format/block_ids.h"
#include "format/container.h"
#include "format/bitmaps.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "format/writer.h"

namespace craft {

namespace wf = wrenly::format;

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Compress(const Bytes& data, uint8_t method) {
  if (method == wf::kMethodZlib) {
    uLongf n = compressBound(data.size());
    Bytes out(n);
    if (compress2(out.data(), &n, data.data(), data.size(), 6) != Z_OK) throw std::runtime_error("zlib");
    out.resize(n);
    return out;
  }
  unsigned n = static_cast<unsigned>(data.size() + data.size() / 100 + 600);
  Bytes out(n);
  Bytes in = data;
  if (BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &n, reinterpret_cast<char*>(in.data()),
                               static_cast<unsigned>(in.size()), 9, 0, 0) != BZ_OK)
    throw std::runtime_error("bzip2");
  out.resize(n);
  return out;
}

namespace {

void Block(wf::ByteWriter& w, Crafted& c, uint16_t id, const Bytes& payload, uint8_t method) {
  c.blockAt.push_back(w.size());
  w.U16(id);
  if (method == 0) {
    w.U16(0);
    w.U32(static_cast<uint32_t>(payload.size()));
    w.Bytes(payload);
    return;
  }
  Bytes packed = Compress(payload, method);
  w.U16(wf::kBlockCompressed);
  w.U32(static_cast<uint32_t>(packed.size() + wf::compressed_payload::kHeadSize));
  w.U32(static_cast<uint32_t>(payload.size()));
  w.U8(method);
  w.Bytes(packed);
}

void Control(wf::ByteWriter& w, uint16_t cls, uint16_t id, int32_t l, int32_t t, int32_t r, int32_t b) {
  w.U16(cls);
  w.U16(id);
  w.U32(0x50000804);
  w.U32(0);
  w.U32(0);
  w.I32(l);
  w.I32(t);
  w.I32(r);
  w.I32(b);
}

Bytes Settings() {
  namespace ss = wf::setup_settings;
  wf::ByteWriter w;
  w.U32(wf::kSetGradient | wf::kSetMaximised);
  w.U32(0x00FF0000);
  w.U32(0);
  w.I32(490);
  w.I32(348);
  w.U32(3);
  wf::ByteWriter font;
  font.I32(-11);
  font.Zeros(12);
  font.I32(400);
  font.Zeros(8);
  font.CString("Arial");
  font.Zeros(wf::logfont::kSize - font.size());
  w.Bytes(font.bytes());
  w.U32(wf::kSystemColour);
  w.I32(48);
  w.I32(3);
  w.U32(ss::kFixedSize);
  w.Zeros(ss::kReservedSize);
  w.Zeros(4 * (ss::kLayoutCount + 1));  // layout offsets, patched
  Control(w, 3, 1, 321, 13, 396, 36);
  Control(w, 3, 2, 405, 13, 480, 36);
  Control(w, 3, 1045, 237, 13, 312, 36);
  // Layouts of the welcome and information pages.
  for (uint32_t kind : {0u, 1u}) {
    uint32_t at = w.size();
    w.PatchU32(ss::kLayouts + 4 * kind, at);
    w.U32(kind == 0 ? 0xF20 : 0xB20);
    w.U32(wf::kSystemColour);
    w.U32(wf::kSystemColour);
    w.U32(wf::kSystemColour);
    w.I32(kind == 0 ? 139 : 0);
    w.U32(wf::kSystemColour);
    w.U32(kind == 0 ? 1 : 0);
    w.I32(kind == 0 ? 0 : 60);
    w.U32(0x00FFFFFF);
    w.U32(0);
    w.U32(kind == 0 ? 0 : 1);
    w.U16(1);                              // body controls
    w.U16(kind == 0 ? 0 : 1);              // header controls
    w.U32(wf::page_layout::kSize);         // body records right after the head
    w.U32(wf::page_layout::kSize + 32);    // header records after those
    Control(w, 15, 1000, 8, 8, wf::control_record::kSpecialSize, wf::control_record::kSpecialSize);
    if (kind == 1) Control(w, 15, 1046, 10, 5, 400, 25);
  }
  return w.bytes();
}

Bytes Dib(int32_t width, int32_t height) {
  wf::ByteWriter w;
  w.U32(40);
  w.I32(width);
  w.I32(height);
  w.U16(1);
  w.U16(24);
  w.Zeros(24);
  uint32_t row = ((width * 24 + 31) / 32) * 4;
  w.Zeros(row * height);
  return w.bytes();
}

Bytes BitmapTable() {
  wf::ByteWriter w;
  w.U32(2);
  w.U32(12);
  w.U32(0);
  w.Bytes(Dib(3, 2));
  return w.bytes();
}

Bytes TitleStyle() {
  wf::ByteWriter w;
  w.U32(0);
  w.U32(0x00FFFFFF);
  w.U32(0);
  w.I32(-24);
  w.Zeros(24);
  w.CString("Arial");
  w.Zeros(72 - w.size());
  return w.bytes();
}


Bytes Record(const TypeSpec& t) {
  namespace it = wf::install_type;
  wf::ByteWriter w;
  w.U16(wf::kOptFolderEditable | wf::kOptRegisterUninstall);
  w.U32(0);
  w.U32(0);
  w.Zeros(it::kFixedSize - w.size());
  w.PatchU32(it::kFolderRoot, 2);
  auto str = [&](uint32_t field, const std::string& s) {
    w.PatchU32(field, w.size());
    w.CString(s);
  };
  str(it::kProductName, t.product);
  str(it::kTypeName, "Full");
  str(it::kDefaultFolder, t.defaultFolder);
  if (!t.folderKey.empty()) {
    str(it::kFolderKey, t.folderKey);
    str(it::kFolderValue, "Path");
  }
  for (uint32_t i = 0; i < it::kPageSequenceSize; ++i)
    w.bytes()[it::kPageSequence + i] = i < t.pages.size() ? t.pages[i] : it::kSequenceEnd;
  for (size_t n = 0; n < t.lists.size() && n < it::kMessageListCount; ++n) {
    if (t.lists[n].empty()) continue;
    w.PatchU32(it::kMessageLists + 4 * n, w.size());
    w.U16(static_cast<uint16_t>(t.lists[n].size()));
    for (auto& item : t.lists[n]) w.CString(item);
  }
  Bytes r = w.bytes();
  if (t.patchRecord) t.patchRecord(r);
  return r;
}

Bytes EntryRecord(const FileSpec& f, uint32_t offset, uint32_t stored) {
  wf::ByteWriter w;
  Bytes content = ToBytes(f.content);
  w.U32(0);
  w.U16(f.status);
  w.U16(0);
  w.U32(f.flags);
  w.U32(f.kind);
  w.U32(wf::UpdateFileChecksum(0, content.data(), content.size()));
  w.U32(static_cast<uint32_t>(content.size()));
  w.U32(offset);
  w.U32(stored);
  if (f.flags & (wf::kFlagVersionCheck | wf::kFlagLanguageCheck)) {
    w.U32(0x00010002);
    w.U32(0x00030004);
    w.Zeros(8);
    w.U32(0x0409);
  }
  if (f.flags & wf::kFlagTimes) w.Zeros(24);
  w.CString(f.name);
  size_t strings = f.kind == wf::kDestCustom ? 10 : 9;
  for (size_t i = 1; i < strings; ++i) w.CString(i - 1 < f.items.size() ? f.items[i - 1] : "");
  w.PatchU32(0, w.size());
  Bytes r = w.bytes();
  if (f.patch) f.patch(r);
  return r;
}

void RawBlock(wf::ByteWriter& w, Crafted& c, const std::tuple<uint16_t, uint16_t, Bytes>& b) {
  c.blockAt.push_back(w.size());
  w.U16(std::get<0>(b));
  w.U16(std::get<1>(b));
  w.U32(static_cast<uint32_t>(std::get<2>(b).size()));
  w.Bytes(std::get<2>(b));
}

bool CarriesData(const FileSpec& f) { return !(f.flags & (wf::kFlagFolder | wf::kFlagSourceFolder)); }

}  // namespace

Crafted Craft(const PackageSpec& plan) {
  Crafted c;
  // The DataArea first: the file tables need the offsets.
  Bytes data;
  std::vector<Bytes> tables;
  for (const TypeSpec& t : plan.types) {
    wf::ByteWriter table;
    table.U32(static_cast<uint32_t>(t.files.size()));
    for (const FileSpec& f : t.files) {
      uint32_t offset = static_cast<uint32_t>(data.size()), stored = 0;
      if (CarriesData(f)) {
        Bytes d{f.method};
        Bytes packed = Compress(ToBytes(f.content), f.method);
        d.insert(d.end(), packed.begin(), packed.end());
        if (f.patchData) f.patchData(d);
        stored = static_cast<uint32_t>(d.size());
        data.insert(data.end(), d.begin(), d.end());
      }
      table.Bytes(EntryRecord(f, offset, stored));
    }
    Bytes b = table.bytes();
    if (t.patchTable) t.patchTable(b);
    tables.push_back(b);
  }
  wf::ByteWriter w;
  for (uint32_t i = 0; i < plan.stubSize; ++i) w.U8(i < 2 ? "MZ"[i] : 0xCC);
  w.Bytes(wf::kSignature, wf::kSignatureSize);
  auto block = [&](uint16_t id, const Bytes& payload) {
    Block(w, c, id, payload, id == wf::kBlockSinglePage ? 0 : plan.blockMethod);
  };
  for (auto& raw : plan.leadingBlocks) RawBlock(w, c, raw);
  Bytes settings = Settings();
  if (plan.patchSettings) plan.patchSettings(settings);
  block(wf::kBlockSetupSettings, settings);
  block(wf::kBlockBitmapTable, BitmapTable());
  wf::ByteWriter variants;
  variants.I32(1);
  variants.I32(1024);
  variants.I32(768);
  block(wf::kBlockBackgroundVariants, variants.bytes());
  Bytes bmp(wf::kBitmapFileHeaderSize, 0);
  Bytes dib = Dib(4, 4);
  bmp.insert(bmp.end(), dib.begin(), dib.end());
  block(wf::kBlockBackgroundBitmap, bmp);
  Bytes title = ToBytes("Demo Product\nSetup");
  title.push_back(0);
  block(wf::kBlockTitleText, title);
  block(wf::kBlockTitleStyle, TitleStyle());
  if (!plan.uninstaller.empty()) block(wf::kBlockUninstallerImage, ToBytes(plan.uninstaller));
  for (size_t t = 0; t < plan.types.size(); ++t) {
    block(wf::kBlockInstallType, Record(plan.types[t]));
    if (!plan.types[t].sections.empty()) block(wf::kBlockUninstallSections, ToBytes(plan.types[t].sections));
    block(wf::kBlockFileTable, tables[t]);
  }
  for (auto& raw : plan.extraBlocks) RawBlock(w, c, raw);
  // Split the DataArea: the package file holds the first part.
  std::vector<Bytes> parts;
  if (plan.volumeSize == 0) {
    parts.push_back(data);
  } else {
    for (size_t at = 0; at < data.size() || parts.empty(); at += plan.volumeSize)
      parts.emplace_back(data.begin() + at, data.begin() + std::min(data.size(), at + plan.volumeSize));
  }
  c.endBlock = w.size();
  c.blockAt.push_back(w.size());
  w.U16(wf::kBlockEnd);
  w.U16(0);
  w.U32(static_cast<uint32_t>(parts[0].size()));
  w.U32(static_cast<uint32_t>(parts[0].size()));
  c.dataStart = w.size();
  w.Bytes(parts[0]);
  c.setup = w.bytes();
  for (size_t i = 1; i < parts.size(); ++i) {
    wf::ByteWriter v;
    v.U32(static_cast<uint32_t>(parts[i].size()));
    v.Bytes(parts[i]);
    c.volumes.push_back(v.bytes());
  }
  return c;
}

std::filesystem::path Write(const Crafted& c, const std::filesystem::path& setup) {
  auto put = [](const std::filesystem::path& p, const Bytes& b) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  };
  put(setup, c.setup);
  for (size_t i = 0; i < c.volumes.size(); ++i) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".D%02zu", i + 1);
    std::filesystem::path v = setup;
    v.replace_extension(suffix);
    put(v, c.volumes[i]);
  }
  return setup;
}

// Uninstaller data: its own texts block, then an end header.
std::string UninstallerData() {
  wf::ByteWriter w;
  w.U16(wf::kUninstallTexts);
  w.U16(0);
  w.U32(5);
  w.CString("Bye!");
  w.U16(wf::kBlockEnd);
  w.U16(0);
  w.U32(0);
  return std::string(w.bytes().begin(), w.bytes().end());
}

PackageSpec TypicalSpec() {
  PackageSpec p;
  p.uninstaller = "MZ-uninstaller-image";
  TypeSpec full;
  full.product = "Demo Product";
  full.folderKey = "Software\\Demo";
  full.lists = {{"Welcome to Demo", "Subtitle", "This installs Demo.\nClick Next."},
                {"Information"}, {}, {"Destination", "", "Install to:"}, {}, {}, {}, {"Demo Setup", "Browse"},
                {"< &Back", "&Next >", "Cancel"}};
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
  full.sections = "registry-sections";
  TypeSpec mini;
  mini.product = "Demo Product (minimal)";
  mini.defaultFolder = "#parent#";
  mini.pages = {0, 5, 6};
  mini.lists = {{"Hello"}};
  mini.files = {{.name = "mini\\only.txt", .content = "minimal only", .method = 2},
                {.name = "flat\\name.txt", .kind = wf::kDestInstallDirFlat, .flags = wf::kFlagTimes,
                 .content = "flat"}};
  p.types = {full, mini};
  return p;
}

}  // namespace craft
