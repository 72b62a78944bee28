#include "package_writer.h"

#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "builder/compress.h"
#include "builder/dib.h"
#include "builder/package_writer.h"
#include "builder/records.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "format/writer.h"
#include "reader/stream_decoder.h"

namespace wf = wrenly::format;
namespace wb = wrenly::builder;
namespace it = wf::install_type;
namespace msg = wf::msg;

Bytes ToBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes Zlib(const Bytes& data) { return wb::CompressZlib(data, 9); }
Bytes Bzip2(const Bytes& data) { return wb::CompressBzip2(data, 9); }

Bytes Lzma(const Bytes& data, uint8_t filter) { return wb::CompressLzmaWhole(data, filter, 6); }

Bytes Words(std::initializer_list<uint32_t> words) {
  wf::ByteWriter w;
  for (uint32_t v : words) w.U32(v);
  return w.bytes();
}

std::string Noise(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, 0);
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

std::filesystem::path EmptyScratch() {
  static const auto d = std::filesystem::temp_directory_path() / ("wrenly-test-" + std::to_string(getpid()));
  [[maybe_unused]] static const int removed = std::atexit([] { std::filesystem::remove_all(d); });
  std::filesystem::remove_all(d);
  std::filesystem::create_directories(d);
  return d;
}

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

Bytes CompressedPayload(uint32_t unpacked, uint8_t method, const Bytes& stream) {
  Bytes b = Words({unpacked});
  b.push_back(method);
  b.insert(b.end(), stream.begin(), stream.end());
  return b;
}

Bytes SettingsBlock(const std::vector<int>& layoutKinds) {
  wf::ByteWriter w;
  w.Zeros(wf::setup_settings::kFixedSize);
  w.PatchU32(wf::setup_settings::kWizardWidth, 490);
  w.PatchU32(wf::setup_settings::kWizardHeight, 348);
  for (int k : layoutKinds) w.PatchU32(wf::setup_settings::kLayouts + 4 * k, w.size()), w.Zeros(wf::page_layout::kSize);
  return w.bytes();
}

Bytes InstallTypeRecord(const InstallTypeFields& s) {
  wf::ByteWriter w;
  w.Zeros(it::kFixedSize);
  w.PatchU16(it::kOptions, s.options);
  w.PatchU32(it::kFolderRoot, 1);  // HKEY_CURRENT_USER
  for (uint32_t i = 0; i < it::kPageSequenceSize; ++i)
    w.bytes()[it::kPageSequence + i] = i < s.sequence.size() ? s.sequence[i] : 0;
  const std::pair<uint32_t, const std::optional<std::string>*> strings[] = {{it::kProductName, &s.productName},
                                                                            {it::kDefaultFolder, &s.defaultFolder},
                                                                            {it::kFolderKey, &s.folderKey},
                                                                            {it::kFolderValue, &s.folderValue},
                                                                            {it::kIniFile, &s.iniFile},
                                                                            {it::kIniSection, &s.iniSection},
                                                                            {it::kIniKey, &s.iniKey}};
  for (auto& [field, value] : strings)
    if (*value) w.PatchU32(field, w.size()), w.CString(**value);
  for (uint32_t n = 0; n < it::kMessageListCount; ++n) {
    if (!s.lists[n]) continue;
    w.PatchU32(it::kMessageLists + 4 * n, w.size());
    w.U16(static_cast<uint16_t>(s.lists[n]->size()));
    for (auto& item : *s.lists[n]) w.CString(item);
  }
  return w.bytes();
}

Bytes FileTable(const std::vector<FileEntryFields>& entries) {
  namespace fe = wf::file_entry;
  wf::ByteWriter table;
  table.U32(static_cast<uint32_t>(entries.size()));
  for (auto& e : entries) {
    wf::ByteWriter w;
    w.Zeros(fe::kFixedSize);
    w.PatchU16(fe::kStatus, e.status);
    w.PatchU16(fe::kIconIndex, e.iconIndex);
    for (auto [at, v] : {std::pair{fe::kFlags, e.flags},
                         {fe::kDestKind, e.kind},
                         {fe::kChecksum, e.checksum},
                         {fe::kSize, e.size},
                         {fe::kDataOffset, e.dataOffset},
                         {fe::kStoredLength, e.storedLength}})
      w.PatchU32(at, v);
    if (e.flags & (wf::kFlagVersionCheck | wf::kFlagLanguageCheck)) {
      w.Zeros(fe::version::kSize);
      for (auto [at, v] : {std::pair{fe::version::kVersionMS, e.versionMS},
                           {fe::version::kVersionLS, e.versionLS},
                           {fe::version::kLanguage, e.language}})
        w.PatchU32(fe::kFixedSize + at, v);
    }
    if (e.flags & wf::kFlagTimes) w.Zeros(fe::times::kSize);
    for (auto& item : e.items) w.CString(item);
    w.PatchU32(fe::kRecordSize, w.size());
    table.Bytes(w.bytes());
  }
  return table.bytes();
}

PackageImage& PackageImage::AddType(const InstallTypeFields& plan) {
  return Add(wf::kBlockInstallType, InstallTypeRecord(plan));
}

Block* PackageImage::Find(uint16_t id, int nth) {
  for (auto& b : blocks)
    if (b.id == id && nth-- == 0) return &b;
  return nullptr;
}

Bytes PackageImage::Build(std::vector<uint32_t>* blockAt) const {
  wf::ByteWriter w;
  w.Bytes(stub);
  for (uint32_t i = stub.size(); i < signatureAt; ++i) w.U8(i < 2 ? "MZ"[i] : static_cast<uint8_t>(i * 7 + 3));
  w.Bytes(wf::kSignature, wf::kSignatureSize);
  for (auto& b : blocks) {
    if (blockAt) blockAt->push_back(w.size());
    Bytes payload = b.payload;
    if (b.method) payload = CompressedPayload(payload.size(), b.method, b.method == 1 ? Zlib(payload) : Bzip2(payload));
    w.U16(b.id);
    w.U16(b.method ? b.flags | wf::kBlockCompressed : b.flags);
    w.U32(b.length.value_or(static_cast<uint32_t>(payload.size())));
    w.Bytes(payload);
  }
  if (blockAt) blockAt->push_back(w.size());
  uint32_t first = std::min<size_t>(dataArea.size(), volumeSize ? volumeSize : UINT32_MAX);
  for (uint32_t v : {uint32_t(wf::kBlockEnd), first, first}) w.U32(v);
  w.Bytes(dataArea.data(), first);
  w.Zeros(trailing);
  if (cutAt) w.bytes().resize(*cutAt);
  return w.bytes();
}

std::vector<Bytes> PackageImage::Volumes() const {
  std::vector<Bytes> out;
  for (size_t at = volumeSize; volumeSize && at < dataArea.size(); at += volumeSize) {
    wf::ByteWriter w;
    w.U32(std::min<size_t>(volumeSize, dataArea.size() - at));
    w.Bytes(&dataArea[at], wf::LoadU32(w.bytes().data()));
    out.push_back(w.bytes());
  }
  return out;
}

std::filesystem::path PackageImage::Write(const std::filesystem::path& setup) const {
  wb::WritePackageFiles(setup, {Build(), Volumes()});
  return setup;
}

PackageImage TypicalPackage() {
  PackageImage p;
  InstallTypeFields plan;
  auto& messages = plan.lists[msg::kListMessages] = std::vector<std::string>(msg::kPackageIncomplete + 1);
  (*messages)[msg::kCaption] = "Demo Setup", (*messages)[msg::kPackageIncomplete] = "The package is incomplete.";
  p.Add(wf::kBlockSetupSettings, SettingsBlock()).AddType(plan).Add(wf::kBlockFileTable, FileTable({{}, {}}));
  p.dataArea = Bytes(100, 0xAB);
  return p;
}

PackageImage Craft(const wb::Project& plan) {
  PackageImage p = Split(wb::AssemblePackage(plan, Bytes(PackageImage().signatureAt, 'S')).setup);
  p.stub.clear();  // the filler stands in, so a test may move the signature
  return p;
}

PackageImage Split(const Bytes& s) {
  PackageImage p;
  uint32_t at = wf::kSignatureMinOffset, length;
  while (at + wf::kSignatureSize <= s.size() && !wf::IsSignatureAt(&s[at])) ++at;
  if (at + wf::kSignatureSize > s.size()) throw std::runtime_error("no package signature");
  p.stub.assign(s.begin(), s.begin() + at);
  p.signatureAt = at;
  at += wf::kSignatureSize;
  for (; wf::LoadU16(&s[at]) != wf::kBlockEnd; at += wf::block_header::kSize + length) {
    length = wf::LoadU32(&s[at + wf::block_header::kLength]);
    Bytes payload(&s[at + wf::block_header::kSize], &s[at + wf::block_header::kSize + length]);
    if (wf::LoadU16(&s[at + wf::block_header::kFlags]) & wf::kBlockCompressed) {
      Bytes raw;
      wrenly::inspector::StreamDecoder decoder(payload[wf::compressed_payload::kMethod]);
      decoder.Feed(&payload[wf::compressed_payload::kStream], length - wf::compressed_payload::kStream,
                   [&](const uint8_t* d, size_t n) { raw.insert(raw.end(), d, d + n); });
      payload = raw;
    }
    p.Add(wf::LoadU16(&s[at]), payload, 0, wf::kMethodZlib);
  }
  p.dataArea.assign(s.begin() + at + wf::block_header::kSize + wf::kEndBlockSizeField, s.end());
  return p;
}

// The builder's own look: theme, pictures, title style, uninstaller data.
wb::Project TypicalPlan() {
  using enum wb::Compression;
  wb::Project p{.product = "Demo Product",
                .fullscreen = true,
                .title = "Demo Product\nSetup",
                .variants = {{1024, 768, wb::MakeBmpFile({4, 4, Bytes(48, 9)})}},
                .sideBitmap = wb::MakeDib({3, 2, Bytes(18)}),
                .headerBitmap = wb::MakeDib({1, 1, Bytes(3)}),
                .uninstallerImage = ToBytes("MZ-uninstaller-image")};
  wb::InstallTypeConfig full{.name = "Full",
                             .folder = "#ProgramFiles#\\Demo",
                             .folderRegistry = wb::RegistryPlace{2, "Software\\Demo", "Path"},
                             .options = wf::kOptFolderEditable | wf::kOptRegisterUninstall,
                             .pages = {0, 1, 3, 4, 5, 6},
                             .uninstallSections = ToBytes("registry-sections")};
  full.texts[0] = {"Welcome to Demo", "Subtitle", "This installs Demo.\nClick Next."};
  full.texts[msg::kListMessages] = std::vector<std::string>(msg::kPackageIncomplete + 1);
  full.texts[msg::kListMessages][msg::kPackageIncomplete] = "The package is incomplete.";
  full.texts[msg::kListButtons] = {"< &Back", "&Next >", "Cancel"};
  std::string big;
  for (int i = 0; i < 5000; ++i) big += "line " + std::to_string(i) + "\n";
  full.files = {
      {.content = ToBytes("Read me first.\n"), .items = {"readme.txt", "Demo", "Readme", "", "", "Readme"}},
      {.content = ToBytes(big), .compression = kBzip2, .items = {"data\\img\\a.bmp"}},
      {.flags = wf::kFlagFolder, .items = {"data\\empty\\"}},
      {.content = ToBytes("dll bytes"),
       .flags = wf::kFlagVersionCheck | wf::kFlagShared,
       .kind = wf::kDestWindows,
       .versionMS = 0x00010002,
       .versionLS = 0x00030004,
       .language = 0x0409,
       .items = {"sys\\x.dll"}},
      {.content = ToBytes("tool"),
       .flags = wf::kRunAfterInstall << wf::kRunKindShift | wf::kFlagRunWait,
       .kind = wf::kDestCustom,
       .items = {"tool.exe", "", "", "", "", "", "", "", "/quiet", "#CommonFiles#\\Acme"}},
      {.flags = wf::kFlagSourceFolder, .items = {"extra.txt"}},
      {.kind = wf::kDestMyDocuments, .items = {"empty.txt"}},
      {.content = wb::BuildUninstallerData({"Bye!"}), .status = wf::kOptUninstaller, .items = {"uninst.exe"}},
  };
  wb::InstallTypeConfig mini{.name = "Full", .folder = "#parent#", .pages = {0, 5, 6}};
  mini.files = {{.content = ToBytes("minimal only"), .compression = kBzip2, .items = {"mini\\only.txt"}},
                {.content = ToBytes("flat"),
                 .flags = wf::kFlagTimes,
                 .kind = wf::kDestInstallDirFlat,
                 .items = {"flat\\name.txt"}}};
  p.types = {full, mini};
  return p;
}

Bytes SmallProgram(const std::vector<wb::Resource>& resources) {
  Bytes s(0x400, 0);
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<uint8_t>(v >> 8 * i);
  };
  s[0] = 'M', s[1] = 'Z', put(0x3C, 0x40), put(0x40, 0x4550), put(0x44, 0x1014C);  // "PE", i386, one section
  put(0x54, 224), put(0x58, 0x10B), put(0x78, 0x1000), put(0x7C, 0x200), put(0x9C, 2), put(0xB4, 16);
  put(0xC8, 0x1000), put(0xCC, 16);  // the resource directory, empty, where the section starts
  std::copy_n(".rsrc", 5, &s[0x138]), put(0x140, 16), put(0x144, 0x1000), put(0x148, 0x200), put(0x14C, 0x200);
  return wb::WithResources(s, resources);
}
