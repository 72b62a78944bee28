#include "reader/records_view.h"

#include "format/bitmaps.h"
#include "format/block_ids.h"
#include "format/message_list.h"
#include "format/settings.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {

const char* String(wf::ByteView r, uint32_t field) {
  uint32_t at = 0;
  r.U32(field, &at);
  return at ? r.CString(at) : nullptr;
}

LayoutRecord ReadLayout(wf::ByteView l) {
  namespace pl = wf::page_layout;
  LayoutRecord r{};
  uint16_t bodyCount = 0, headerCount = 0;
  uint32_t bodyAt = 0, headerAt = 0;
  if (l.Has(0, sizeof(wf::PageLayoutHead))) wf::LoadPageLayoutHead(l.data, &r);
  l.U16(pl::kBodyCount, &bodyCount);
  l.U16(pl::kHeaderCount, &headerCount);
  l.U32(pl::kBodyRecords, &bodyAt);
  l.U32(pl::kHeaderRecords, &headerAt);
  r.body = ReadControls(l, bodyAt, bodyCount);
  r.header = ReadControls(l, headerAt, headerCount);
  return r;
}

}  // namespace

FontRecord ReadFont(wf::ByteView f) {
  char face[wf::logfont::kFaceNameSize + 1] = {};
  for (uint32_t i = 0; i < wf::logfont::kFaceNameSize; ++i)
    f.U8(wf::logfont::kFaceName + i, reinterpret_cast<uint8_t*>(&face[i]));
  FontRecord r;
  r.face = face;
  uint8_t italic = 0;
  f.I32(wf::logfont::kHeight, &r.height);
  f.I32(wf::logfont::kWeight, &r.weight);
  f.U8(wf::logfont::kItalic, &italic);
  r.italic = italic != 0;
  return r;
}

bool ControlRecord::TextBox() const { return options & wf::control_record::kOptTextBox; }
bool ControlRecord::FillsPage() const { return right == wf::control_record::kSpecialSize; }

std::vector<ControlRecord> ReadControls(wf::ByteView v, uint32_t at, uint32_t count) {
  namespace cr = wf::control_record;
  std::vector<ControlRecord> controls(count);
  for (uint32_t i = 0; i < count; ++i) {
    wf::ByteView r = v.Sub(at + i * cr::kSize, cr::kSize);
    ControlRecord& c = controls[i];
    r.U16(cr::kClass, &c.cls);
    r.U16(cr::kId, &c.id);
    r.U32(cr::kStyle, &c.style);
    r.U32(cr::kExStyle, &c.exStyle);
    r.U32(cr::kOptions, &c.options);
    r.I32(cr::kLeft, &c.left);
    r.I32(cr::kTop, &c.top);
    r.I32(cr::kRight, &c.right);
    r.I32(cr::kBottom, &c.bottom);
  }
  return controls;
}

SettingsRecord ReadSettings(wf::ByteView v) {
  namespace ss = wf::setup_settings;
  SettingsRecord s;
  uint32_t buttonsAt = 0;
  v.U32(ss::kFlags, &s.flags);
  v.U32(ss::kTopColour, &s.topColour);
  v.U32(ss::kBottomColour, &s.bottomColour);
  v.I32(ss::kWizardWidth, &s.width);
  v.I32(ss::kWizardHeight, &s.height);
  v.U32(ss::kOptions, &s.options);
  v.U32(ss::kButtonBarColour, &s.barColour);
  v.I32(ss::kButtonBarHeight, &s.barHeight);
  v.I32(ss::kButtonCount, &s.buttonCount);
  v.U32(ss::kButtonRecords, &buttonsAt);
  s.dialogFont = ReadFont(v.Sub(ss::kDialogFont, wf::logfont::kSize));
  s.buttons = ReadControls(v, buttonsAt, static_cast<uint32_t>(s.buttonCount));
  for (uint32_t k = 0; k < ss::kLayoutCount; ++k) {
    uint32_t at = 0;
    v.U32(ss::kLayouts + 4 * k, &at);
    if (at == 0) continue;
    LayoutRecord l = ReadLayout(v.Sub(at, v.size - at));
    l.page = static_cast<uint8_t>(k);
    l.offset = at;
    s.layouts.push_back(std::move(l));
  }
  return s;
}

BitmapTableRecord ReadBitmapTable(wf::ByteView t) {
  BitmapTableRecord r;
  r.fits = t.U32(wf::bitmap_table::kCount, &r.count) && uint64_t{r.count} * 4 + 4 <= t.size;
  if (!r.fits) return r;
  r.offsets.resize(r.count);
  for (uint32_t i = 0; i < r.count; ++i) t.U32(wf::bitmap_table::kOffsets + 4 * i, &r.offsets[i]);
  return r;
}

std::vector<VariantSize> ReadVariants(wf::ByteView v) {
  namespace vl = wf::variant_list;
  int32_t count = 0;
  v.I32(vl::kCount, &count);
  std::vector<VariantSize> sizes(count > 0 ? static_cast<size_t>(count) : 0);
  for (size_t j = 0; j < sizes.size(); ++j) {
    wf::ByteView pair = v.Sub(static_cast<uint32_t>(vl::kPairs + j * vl::kPairSize), vl::kPairSize);
    pair.I32(vl::kPairWidth, &sizes[j].width);
    pair.I32(vl::kPairHeight, &sizes[j].height);
  }
  return sizes;
}

std::optional<TitleStyleRecord> ReadTitleStyle(wf::ByteView v) {
  namespace ts = wf::title_style;
  if (v.size < ts::kSize) return std::nullopt;
  TitleStyleRecord r;
  v.U32(ts::kShadowColour, &r.shadowColour);
  v.U32(ts::kTextColour, &r.textColour);
  v.U32(ts::kAlignment, &r.alignment);
  r.font = ReadFont(v.Sub(ts::kFont, wf::logfont::kSize));
  return r;
}

std::optional<std::string_view> ReadTitle(wf::ByteView v) {
  uint32_t len = 0;
  const char* t = v.CString(0, &len);
  if (!t) return std::nullopt;
  return std::string_view(t, len);
}

std::optional<std::array<std::string_view, wf::product_details::kFieldCount>> ReadProductDetails(wf::ByteView v) {
  std::array<std::string_view, wf::product_details::kFieldCount> texts;
  uint32_t at = 0;
  for (auto& text : texts) {
    uint16_t n = 0;
    if (!v.U16(at, &n) || !v.Has(at + wf::kStringFieldLength, n)) return std::nullopt;
    text = {reinterpret_cast<const char*>(v.data + at + wf::kStringFieldLength), n};
    at += wf::kStringFieldLength + n;
  }
  return texts;
}

std::optional<ProductIdentityRecord> ReadProductIdentity(wf::ByteView v) {
  namespace pi = wf::product_identity;
  ProductIdentityRecord r;
  uint16_t n = 0;
  if (!v.U8(pi::kArchitecture, &r.architecture) || !v.U8(pi::kScope, &r.scope) || !v.U16(pi::kFlags, &r.flags) ||
      !v.U16(pi::kId, &n) || !v.Has(pi::kId + wf::kStringFieldLength, n))
    return std::nullopt;
  r.id = {reinterpret_cast<const char*>(v.data + pi::kId + wf::kStringFieldLength), n};
  return r;
}

InstallTypeRecord ReadInstallType(wf::ByteView r) {
  namespace it = wf::install_type;
  InstallTypeRecord t;
  r.U16(it::kOptions, &t.options);
  r.U32(it::kMoreOptions, &t.moreOptions);
  r.U32(it::kFolderRoot, &t.folderRoot);
  t.product = String(r, it::kProductName);
  t.typeName = String(r, it::kTypeName);
  t.defaultFolder = String(r, it::kDefaultFolder);
  t.folderKey = String(r, it::kFolderKey);
  t.folderValue = String(r, it::kFolderValue);
  t.iniFile = String(r, it::kIniFile);
  t.iniSection = String(r, it::kIniSection);
  t.iniKey = String(r, it::kIniKey);
  for (uint32_t p = 0; p < it::kPageSequenceSize; ++p) {
    uint8_t kind = it::kSequenceEnd;
    r.U8(it::kPageSequence + p, &kind);
    if (kind == it::kSequenceEnd) {
      t.pagesEnded = true;
      break;
    }
    t.pages.push_back(kind);
  }
  for (uint32_t n = 0; n < it::kMessageListCount; ++n) {
    uint32_t at = 0;
    r.U32(it::kMessageLists + 4 * n, &at);
    if (at == 0) continue;
    uint16_t count = 0;
    r.U16(at + wf::message_list::kCount, &count);
    auto& texts = t.messages[n].emplace();
    for (uint16_t i = 0; i < count; ++i) texts.push_back(wf::FindMessageItem(r.data + at, i));
  }
  return t;
}

uint16_t EntryOptions(const wf::FileEntryView& e) { return wf::LoadU16(e.record + wf::file_entry::kStatus); }

std::optional<EntryVersion> ReadEntryVersion(const wf::FileEntryView& e) {
  namespace v = wf::file_entry::version;
  if (!e.versionBlock) return std::nullopt;
  uint32_t ms = wf::LoadU32(e.versionBlock + v::kVersionMS);
  uint32_t ls = wf::LoadU32(e.versionBlock + v::kVersionLS);
  return EntryVersion{std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) +
                          "." + std::to_string(ls & 0xFFFF),
                      wf::LoadU32(e.versionBlock + v::kLanguage)};
}

bool EntryRuns(const wf::FileEntryView& e) {
  return e.flags & (wf::kFlagRunKindMask | wf::kFlagRunDocument | wf::kFlagRunWait | wf::kFlagRunAfterRestart);
}

}  // namespace wrenly::inspector
