#include "package_writer.h"

#include <bzlib.h>
#include <unistd.h>
#include <zlib.h>

#include <fstream>
#include <stdexcept>

#include "format/block_ids.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "format/writer.h"

namespace wf = wrenly::format;
namespace it = wf::install_type;

Bytes ToBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes Compress(const Bytes& data, uint8_t method) {
  if (method == wf::kMethodZlib) {
    uLongf n = compressBound(data.size());
    Bytes out(n);
    if (compress2(out.data(), &n, data.data(), data.size(), 9) != Z_OK) throw std::runtime_error("zlib");
    out.resize(n);
    return out;
  }
  unsigned n = static_cast<unsigned>(data.size() + data.size() / 100 + 600);
  Bytes out(n), in = data;
  if (BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &n, reinterpret_cast<char*>(in.data()),
                               static_cast<unsigned>(in.size()), 9, 0, 0) != BZ_OK)
    throw std::runtime_error("bzip2");
  out.resize(n);
  return out;
}

Bytes CompressedPayload(uint32_t unpacked, uint8_t method, const Bytes& stream) {
  wf::ByteWriter w;
  w.U32(unpacked);
  w.U8(method);
  w.Bytes(stream);
  return w.bytes();
}

Bytes Words(std::initializer_list<uint32_t> words) {
  wf::ByteWriter w;
  for (uint32_t v : words) w.U32(v);
  return w.bytes();
}

Bytes VariantList(const std::vector<std::pair<int, int>>& sizes) {
  wf::ByteWriter w;
  w.I32(static_cast<int32_t>(sizes.size()));
  for (auto [x, y] : sizes) {
    w.I32(x);
    w.I32(y);
  }
  return w.bytes();
}

Bytes SettingsBlock(const std::vector<int>& layoutKinds) {
  wf::ByteWriter w;
  w.Zeros(wf::setup_settings::kFixedSize);
  w.PatchU32(wf::setup_settings::kWizardWidth, 490);
  w.PatchU32(wf::setup_settings::kWizardHeight, 348);
  for (int k : layoutKinds) {
    w.PatchU32(wf::setup_settings::kLayouts + 4 * k, w.size());
    w.Zeros(wf::page_layout::kSize);
  }
  return w.bytes();
}

Bytes InstallTypeRecord(const InstallTypeSpec& s) {
  wf::ByteWriter w;
  w.Zeros(it::kFixedSize);
  w.PatchU16(it::kOptions, s.options);
  w.PatchU32(it::kFolderRoot, s.folderRoot);
  for (uint32_t i = 0; i < it::kPageSequenceSize; ++i)
    w.bytes()[it::kPageSequence + i] = i < s.sequence.size() ? s.sequence[i] : 0;
  const std::pair<uint32_t, const std::optional<std::string>*> strings[] = {
      {it::kProductName, &s.productName}, {it::kTypeName, &s.typeName},     {it::kDefaultFolder, &s.defaultFolder},
      {it::kFolderKey, &s.folderKey},     {it::kFolderValue, &s.folderValue}, {it::kIniFile, &s.iniFile},
      {it::kIniSection, &s.iniSection},   {it::kIniKey, &s.iniKey}};
  for (auto& [field, value] : strings) {
    if (!*value) continue;
    w.PatchU32(field, w.size());
    w.CString(**value);
  }
  for (uint32_t n = 0; n < it::kMessageListCount; ++n) {
    if (!s.lists[n]) continue;
    w.PatchU32(it::kMessageLists + 4 * n, w.size());
    w.U16(static_cast<uint16_t>(s.lists[n]->size()));
    for (auto& item : *s.lists[n]) w.CString(item);
  }
  return w.bytes();
}

Bytes FileEntryRecord(const FileEntrySpec& e) {
  namespace fe = wf::file_entry;
  wf::ByteWriter w;
  w.Zeros(fe::kFixedSize);
  w.PatchU16(fe::kStatus, e.status);
  w.PatchU32(fe::kFlags, e.flags);
  w.PatchU32(fe::kDestKind, e.kind);
  w.PatchU32(fe::kChecksum, e.checksum);
  w.PatchU32(fe::kSize, e.size);
  w.PatchU32(fe::kDataOffset, e.dataOffset);
  w.PatchU32(fe::kStoredLength, e.storedLength);
  if (e.flags & (wf::kFlagVersionCheck | wf::kFlagLanguageCheck)) {
    w.Zeros(fe::version::kSize);
    w.PatchU32(fe::kFixedSize + fe::version::kVersionMS, e.versionMS);
    w.PatchU32(fe::kFixedSize + fe::version::kVersionLS, e.versionLS);
    w.PatchU32(fe::kFixedSize + fe::version::kLanguage, e.language);
  }
  if (e.flags & wf::kFlagTimes) w.Zeros(fe::times::kSize);
  for (auto& item : e.items) w.CString(item);
  w.PatchU32(fe::kRecordSize, w.size());
  return w.bytes();
}

Bytes FileTable(const std::vector<FileEntrySpec>& entries) {
  wf::ByteWriter w;
  w.U32(static_cast<uint32_t>(entries.size()));
  for (auto& e : entries) w.Bytes(FileEntryRecord(e));
  return w.bytes();
}

PackageImage& PackageImage::AddType(const InstallTypeSpec& spec) {
  return Add(wf::kBlockInstallType, InstallTypeRecord(spec));
}

Block* PackageImage::Find(uint16_t id, int nth) {
  for (auto& b : blocks)
    if (b.id == id && nth-- == 0) return &b;
  return nullptr;
}

namespace {

std::vector<Bytes> Parts(const PackageImage& p) {
  if (p.volumeSize == 0) return {p.dataArea};
  std::vector<Bytes> parts;
  for (size_t at = 0; at < p.dataArea.size() || parts.empty(); at += p.volumeSize)
    parts.emplace_back(p.dataArea.begin() + at, p.dataArea.begin() + std::min(p.dataArea.size(), at + p.volumeSize));
  return parts;
}

}  // namespace

Bytes PackageImage::Build(std::vector<uint32_t>* blockAt) const {
  wf::ByteWriter w;
  for (uint32_t i = 0; i < signatureAt; ++i) w.U8(i < 2 ? "MZ"[i] : static_cast<uint8_t>(i * 7 + 3));
  w.Bytes(wf::kSignature, wf::kSignatureSize);
  for (auto& b : blocks) {
    if (blockAt) blockAt->push_back(w.size());
    Bytes payload = b.method ? CompressedPayload(b.payload.size(), b.method, Compress(b.payload, b.method)) : b.payload;
    w.U16(b.id);
    w.U16(b.method ? b.flags | wf::kBlockCompressed : b.flags);
    w.U32(b.length.value_or(static_cast<uint32_t>(payload.size())));
    w.Bytes(payload);
  }
  if (blockAt) blockAt->push_back(w.size());
  Bytes first = Parts(*this)[0];
  uint32_t dataSize = static_cast<uint32_t>(first.size());
  w.U16(wf::kBlockEnd);
  w.U16(0);
  w.U32(dataSize);
  w.U32(dataSize);
  w.Bytes(first);
  w.Zeros(trailing);
  if (cutAt) w.bytes().resize(*cutAt);
  return w.bytes();
}

std::vector<Bytes> PackageImage::Volumes() const {
  std::vector<Bytes> parts = Parts(*this), out;
  for (size_t i = 1; i < parts.size(); ++i) {
    wf::ByteWriter v;
    v.U32(static_cast<uint32_t>(parts[i].size()));
    v.Bytes(parts[i]);
    out.push_back(v.bytes());
  }
  return out;
}

uint32_t PackageImage::EndBlockAt() const {
  std::vector<uint32_t> at;
  Build(&at);
  return at.back();
}

std::filesystem::path PackageImage::Write(const std::filesystem::path& setup) const {
  auto put = [](const std::filesystem::path& p, const Bytes& b) {
    std::ofstream(p, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(b.data()), b.size());
  };
  put(setup, Build());
  std::vector<Bytes> volumes = Volumes();
  for (size_t i = 0; i < volumes.size(); ++i) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, wf::kVolumeSuffixFormat, static_cast<int>(i + 1));
    put(std::filesystem::path(setup).replace_extension(suffix), volumes[i]);
  }
  return setup;
}

PackageImage TypicalPackage() {
  PackageImage p;
  InstallTypeSpec spec;
  spec.lists[7] = std::vector<std::string>(32);
  (*spec.lists[7])[0] = "Demo Setup";
  (*spec.lists[7])[31] = "The package is incomplete.";
  p.Add(wf::kBlockSetupSettings, SettingsBlock()).AddType(spec).Add(wf::kBlockFileTable, FileTable({{{"file0.txt"}}, {{"file1.txt"}}}));
  p.dataArea = Bytes(100, 0xAB);
  return p;
}

std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
  auto dir = std::filesystem::temp_directory_path() / ("wrenly-tests-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto path = (dir / name).string();
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path;
}
