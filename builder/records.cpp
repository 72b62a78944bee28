#include "builder/records.h"

#include <cstring>

#include "format/bitmaps.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/product_identity.h"
#include "format/uninstall_log.h"
#include "format/writer.h"

namespace wrenly::builder {
namespace f = wrenly::format;

std::vector<uint8_t> BuildInstallTypeRecord(const Project& project, const InstallTypeConfig& type) {
  namespace it = f::install_type;
  f::ByteWriter w;
  w.Zeros(it::kFixedSize);
  auto str = [&](uint32_t field, const std::string& s) {
    w.PatchU32(field, w.size());
    w.CString(s);
  };
  w.PatchU16(it::kOptions, type.options);
  w.PatchU32(it::kMoreOptions, type.moreOptions);
  str(it::kProductName, project.product);
  str(it::kTypeName, type.name);
  if (type.folderRegistry) {
    w.PatchU32(it::kFolderRoot, type.folderRegistry->root);
    str(it::kFolderKey, type.folderRegistry->key);
    if (!type.folderRegistry->value.empty()) str(it::kFolderValue, type.folderRegistry->value);
  }
  if (!type.folder.empty()) str(it::kDefaultFolder, type.folder);
  if (type.folderIni) {
    str(it::kIniFile, type.folderIni->file);
    str(it::kIniSection, type.folderIni->section);
    str(it::kIniKey, type.folderIni->key);
  }
  auto& b = w.bytes();
  std::memset(&b[it::kPageSequence], it::kSequenceEnd, it::kPageSequenceSize);
  for (size_t i = 0; i < type.pages.size(); ++i) b[it::kPageSequence + i] = type.pages[i];
  for (uint32_t n = 0; n < it::kMessageListCount; ++n) {
    w.PatchU32(it::kMessageLists + 4 * n, w.size());
    const auto& items = type.texts[n];
    w.U16(static_cast<uint16_t>(items.size()));
    for (const auto& s : items) w.CString(s);
  }
  return w.bytes();
}

std::vector<uint8_t> BuildFileEntry(const FileItem& item, const EntryData& data) {
  namespace fe = f::file_entry;
  f::ByteWriter w;
  w.U32(0);  // size, patched below
  w.U16(item.status);
  w.U16(item.iconIndex);
  uint32_t flags = item.flags;
  if (item.hasTimes) flags |= f::kFlagTimes;
  w.U32(flags);
  w.U32(item.kind);
  w.U32(data.checksum);
  w.U32(data.size);
  w.U32(data.offset);
  w.U32(data.storedLength);
  if (flags & (f::kFlagVersionCheck | f::kFlagLanguageCheck)) {
    w.U32(item.versionMS);
    w.U32(item.versionLS);
    w.Zeros(8);
    w.U32(item.language);
  }
  if (flags & f::kFlagTimes)
    for (int i = 0; i < 3; ++i) {
      w.U32(static_cast<uint32_t>(item.fileTime));
      w.U32(static_cast<uint32_t>(item.fileTime >> 32));
    }
  // Nine strings, or ten when the custom folder is needed.
  int count = item.kind == f::kDestCustom ? 10 : 9;
  for (int k = 0; k < count; ++k) w.CString(item.items[k]);
  w.PatchU32(fe::kRecordSize, w.size());
  return w.bytes();
}

std::vector<uint8_t> BuildBitmapTable(const std::vector<Dib>& dibs) {
  f::ByteWriter w;
  w.U32(static_cast<uint32_t>(dibs.size()));
  w.Zeros(4 * dibs.size());
  for (size_t i = 0; i < dibs.size(); ++i) {
    w.PatchU32(f::bitmap_table::kOffsets + 4 * static_cast<uint32_t>(i), w.size());
    w.Bytes(dibs[i]);
  }
  return w.bytes();
}

std::vector<uint8_t> BuildTitleStyle(const TitleStyleConfig& style) {
  namespace ts = f::title_style;
  std::vector<uint8_t> b(ts::kSize, 0);
  f::StoreU32(&b[ts::kShadowColour], style.shadowColour);
  f::StoreU32(&b[ts::kTextColour], style.textColour);
  f::StoreU32(&b[ts::kAlignment], style.alignment);
  uint8_t* font = &b[ts::kFont];
  f::StoreU32(font + f::logfont::kHeight, static_cast<uint32_t>(style.height));
  f::StoreU32(font + f::logfont::kWeight, static_cast<uint32_t>(style.weight));
  font[f::logfont::kItalic] = style.italic;
  font[f::logfont::kOutPrecision] = 3;
  font[f::logfont::kClipPrecision] = 2;
  font[f::logfont::kQuality] = 1;
  font[f::logfont::kPitchAndFamily] = 0x22;
  std::memcpy(font + f::logfont::kFaceName, style.face.data(),
              std::min<size_t>(style.face.size(), f::logfont::kFaceNameSize - 1));
  return b;
}

std::vector<uint8_t> BuildVariantList(const std::vector<BackgroundVariant>& variants) {
  f::ByteWriter w;
  w.I32(static_cast<int32_t>(variants.size()));
  for (const auto& v : variants) {
    w.I32(v.width);
    w.I32(v.height);
  }
  return w.bytes();
}

namespace {
void Block(f::ByteWriter& w, uint16_t id, const std::vector<uint8_t>& payload) {
  w.U16(id);
  w.U16(0);
  w.U32(static_cast<uint32_t>(payload.size()));
  w.Bytes(payload);
}
void AppendSection(std::vector<uint8_t>& sections, uint16_t id, const f::ByteWriter& payload) {
  f::ByteWriter w;
  Block(w, id, payload.bytes());
  sections.insert(sections.end(), w.bytes().begin(), w.bytes().end());
}
}  // namespace

std::vector<uint8_t> BuildUninstallerData(const std::vector<std::string>& texts) {
  f::ByteWriter payload;
  payload.U16(static_cast<uint16_t>(texts.size()));
  for (const auto& t : texts) payload.StringField(t);
  f::ByteWriter w;
  Block(w, f::kUninstallTexts, payload.bytes());
  w.U16(f::kBlockEnd);
  w.U16(0);
  w.U32(0);
  return w.bytes();
}

std::vector<uint8_t> BuildProductDetails(const Project& project) {
  f::ByteWriter w;
  const std::string* fields[f::product_details::kFieldCount] = {};
  fields[f::product_details::kVersion] = &project.version;
  fields[f::product_details::kPublisher] = &project.publisher;
  fields[f::product_details::kUrl] = &project.url;
  for (const std::string* field : fields) w.StringField(*field);
  return w.bytes();
}

std::vector<uint8_t> BuildProductIdentity(const Project& project) {
  namespace pi = f::product_identity;
  f::ByteWriter w;
  w.Zeros(pi::kFixedSize);
  w.bytes()[pi::kArchitecture] = project.architecture;
  w.bytes()[pi::kScope] = project.scope;
  w.PatchU16(pi::kFlags, project.identityFlags);
  w.StringField(project.id);
  return w.bytes();
}

std::vector<uint8_t> BuildUninstallSections(const Project& project, const InstallTypeConfig& type) {
  std::vector<uint8_t> sections;
  // Only where the uninstaller needs it: a 32-bit product's record stays as
  // before, so that an earlier uninstaller that a later record is appended
  // to (append_to_uninstaller) still reads it.
  if (project.architecture != f::kArchitectureX86) {
    f::ByteWriter product;
    product.Bytes(BuildProductIdentity(project));
    AppendSection(sections, f::kSectionProduct, product);
  }
  sections.insert(sections.end(), type.uninstallSections.begin(), type.uninstallSections.end());
  return sections;
}

void AddRegistryKeySection(std::vector<uint8_t>& sections, uint32_t root, const std::string& key) {
  f::ByteWriter p;
  p.U32(root);
  p.StringField(key);
  AppendSection(sections, f::kSectionRegistryKey, p);
}

void AddRegistryValueSection(std::vector<uint8_t>& sections, uint32_t root, const std::string& key,
                             const std::string& value) {
  f::ByteWriter p;
  p.U32(root);
  p.StringField(key);
  p.StringField(value);
  AppendSection(sections, f::kSectionRegistryValue, p);
}

void AddIniValueSection(std::vector<uint8_t>& sections, const IniPlace& place) {
  f::ByteWriter p;
  p.StringField(place.file);
  p.StringField(place.section);
  p.StringField(place.key);
  AppendSection(sections, f::kSectionIniValue, p);
}

}  // namespace wrenly::builder
