#include "package_builder.h"

#include <bzlib.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>

#include "format/block_ids.h"
#include "format/container.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "format/writer.h"

namespace wf = wrenly::format;
namespace it = wf::install_type;

Bytes InstallTypeRecord(const InstallTypeSpec& s) {
  wf::ByteWriter w;
  w.U16(s.options);
  w.U32(0);
  w.Zeros(4 + 4 * 8);  // reserved and the string offsets, patched below
  w.Zeros(4 * 4);
  Bytes seq = s.sequence;
  seq.resize(it::kPageSequenceSize, 0);
  w.PatchU32(it::kFolderRoot, s.folderRoot);
  std::vector<uint8_t>& b = w.bytes();
  b.resize(it::kPageSequence);
  b.insert(b.end(), seq.begin(), seq.end());
  w.Zeros(4 * it::kMessageListCount);
  const std::pair<uint32_t, const std::optional<std::string>*> strings[] = {
      {it::kProductName, &s.productName}, {it::kDefaultFolder, &s.defaultFolder},
      {it::kFolderKey, &s.folderKey},     {it::kFolderValue, &s.folderValue},
      {it::kIniFile, &s.iniFile},         {it::kIniSection, &s.iniSection},
      {it::kIniKey, &s.iniKey}};
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

Bytes FileTable(uint32_t entries) {
  wf::ByteWriter w;
  w.U32(entries);
  for (uint32_t i = 0; i < entries; ++i) {
    uint32_t at = w.size();
    w.U32(0);
    w.Zeros(28);
    w.CString("file" + std::to_string(i) + ".txt");
    w.PatchU32(at, w.size() - at);
  }
  return w.bytes();
}

Bytes Zlib(const Bytes& data) {
  uLongf n = compressBound(data.size());
  Bytes out(n);
  compress2(out.data(), &n, data.data(), data.size(), 9);
  out.resize(n);
  return out;
}

Bytes Bzip2(const Bytes& data) {
  unsigned n = data.size() + data.size() / 100 + 600;
  Bytes out(n);
  BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &n,
                           const_cast<char*>(reinterpret_cast<const char*>(data.data())),
                           data.size(), 9, 0, 0);
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

Bytes VariantList(const std::vector<std::pair<int, int>>& sizes) {
  wf::ByteWriter w;
  w.I32(static_cast<int32_t>(sizes.size()));
  for (auto [x, y] : sizes) {
    w.I32(x);
    w.I32(y);
  }
  return w.bytes();
}

PackageImage& PackageImage::AddType(const InstallTypeSpec& plan) {
  return Add(wf::kBlockInstallType, InstallTypeRecord(plan));
}

uint32_t PackageImage::EndBlockAt() const {
  uint32_t at = signatureAt + wf::kSignatureSize;
  for (auto& b : blocks) at += wf::block_header::kSize + b.payload.size();
  return at;
}

Bytes PackageImage::Build() const {
  wf::ByteWriter w;
  for (uint32_t i = 0; i < signatureAt; ++i) w.U8(static_cast<uint8_t>(i * 7 + 3));
  w.Bytes(wf::kSignature, wf::kSignatureSize);
  for (auto& b : blocks) {
    w.U16(b.id);
    w.U16(b.flags);
    w.U32(b.length.value_or(static_cast<uint32_t>(b.payload.size())));
    w.Bytes(b.payload);
  }
  uint32_t dataSize = declaredDataSize.value_or(static_cast<uint32_t>(dataArea.size()));
  w.U16(wf::kBlockEnd);
  w.U16(0);
  w.U32(dataSize);
  w.U32(dataSize);
  w.Bytes(dataArea);
  w.Zeros(trailing);
  return w.bytes();
}

PackageImage TypicalPackage() {
  PackageImage p;
  InstallTypeSpec plan;
  plan.lists[7] = std::vector<std::string>{"Demo Setup", "", "", "", "", "", "", "", "", "", "", "", "",
                                           "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
                                           "", "", "", "The package is incomplete."};
  p.Add(wf::kBlockSetupSettings, SettingsBlock()).AddType(plan).Add(wf::kBlockFileTable, FileTable(2));
  p.dataArea = Bytes(100, 0xAB);
  return p;
}

std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
  auto dir = std::filesystem::temp_directory_path() / ("wrenly-installer-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto path = (dir / name).string();
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}
