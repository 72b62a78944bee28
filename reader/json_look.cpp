// Settings, bitmaps, background and title as JSON members.
#include "format/bitmaps.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "reader/json_report.h"
#include "reader/names.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {

void Font(JsonWriter& json, std::string_view name, wf::ByteView f) {
  char face[wf::logfont::kFaceNameSize + 1] = {};
  for (uint32_t i = 0; i < wf::logfont::kFaceNameSize; ++i)
    f.U8(wf::logfont::kFaceName + i, reinterpret_cast<uint8_t*>(&face[i]));
  int32_t height = 0, weight = 0;
  uint8_t italic = 0;
  f.I32(wf::logfont::kHeight, &height);
  f.I32(wf::logfont::kWeight, &weight);
  f.U8(wf::logfont::kItalic, &italic);
  json.Key(name).BeginObject();
  json.AnsiField("face", face);
  json.Field("height", height);
  json.Field("weight", weight);
  json.Field("italic", italic != 0);
  json.EndObject();
}

void Controls(JsonWriter& json, std::string_view name, wf::ByteView v, uint32_t at, uint32_t count) {
  namespace cr = wf::control_record;
  json.Key(name).BeginArray();
  for (uint32_t i = 0; i < count; ++i) {
    wf::ByteView r = v.Sub(at + i * cr::kSize, cr::kSize);
    uint16_t cls = 0, id = 0;
    uint32_t style = 0, ex = 0, opts = 0;
    int32_t l = 0, t = 0, rt = 0, b = 0;
    r.U16(cr::kClass, &cls);
    r.U16(cr::kId, &id);
    r.U32(cr::kStyle, &style);
    r.U32(cr::kExStyle, &ex);
    r.U32(cr::kOptions, &opts);
    r.I32(cr::kLeft, &l);
    r.I32(cr::kTop, &t);
    r.I32(cr::kRight, &rt);
    r.I32(cr::kBottom, &b);
    json.BeginObject();
    json.Field("id", id);
    json.Field("class", cls);
    json.Field("style", style);
    json.Field("ex_style", ex);
    json.Field("text_box", (opts & cr::kOptTextBox) != 0);
    json.Field("fills_page", rt == cr::kSpecialSize);
    json.Field("left", l);
    json.Field("top", t);
    json.Field("right", rt);
    json.Field("bottom", b);
    json.EndObject();
  }
  json.EndArray();
}

void Settings(const Bytes& s, JsonWriter& json) {
  namespace ss = wf::setup_settings;
  namespace pl = wf::page_layout;
  auto v = View(s);
  uint32_t flags = 0, top = 0, bottom = 0, options = 0, barColour = 0, buttonsAt = 0;
  int32_t w = 0, h = 0, barHeight = 0, buttons = 0;
  v.U32(ss::kFlags, &flags);
  v.U32(ss::kTopColour, &top);
  v.U32(ss::kBottomColour, &bottom);
  v.I32(ss::kWizardWidth, &w);
  v.I32(ss::kWizardHeight, &h);
  v.U32(ss::kOptions, &options);
  v.U32(ss::kButtonBarColour, &barColour);
  v.I32(ss::kButtonBarHeight, &barHeight);
  v.I32(ss::kButtonCount, &buttons);
  v.U32(ss::kButtonRecords, &buttonsAt);
  json.Key("settings").BeginObject();
  json.Field("size", s.size());
  json.Field("flags", flags);
  json.WordsField("flag_words", SettingsFlagWords(flags));
  JsonColour(json, "top_colour", top);
  JsonColour(json, "bottom_colour", bottom);
  json.Field("wizard_width", w);
  json.Field("wizard_height", h);
  json.Field("options", options);
  json.WordsField("option_words", SettingsOptionWords(options));
  Font(json, "dialog_font", v.Sub(ss::kDialogFont, wf::logfont::kSize));
  json.Key("button_bar").BeginObject();
  json.Field("height", barHeight);
  JsonColour(json, "colour", barColour);
  Controls(json, "buttons", v, buttonsAt, static_cast<uint32_t>(buttons));
  json.EndObject();
  json.Key("layouts").BeginArray();
  for (uint32_t k = 0; k < ss::kLayoutCount; ++k) {
    uint32_t at = 0;
    v.U32(ss::kLayouts + 4 * k, &at);
    if (at == 0) continue;
    wf::ByteView l{v.data + at, v.size - at};
    uint32_t lf = 0, page = 0, text = 0, edit = 0, side = 0, sideBitmap = 0, headerBitmap = 0, bodyAt = 0, headerAt = 0;
    int32_t sideWidth = 0, headerHeight = 0;
    uint16_t bodyCount = 0, headerCount = 0;
    l.U32(pl::kFlags, &lf);
    l.U32(pl::kPageColour, &page);
    l.U32(pl::kTextColour, &text);
    l.U32(pl::kEditColour, &edit);
    l.I32(pl::kSideWidth, &sideWidth);
    l.U32(pl::kSideColour, &side);
    l.U32(pl::kSideBitmap, &sideBitmap);
    l.I32(pl::kHeaderHeight, &headerHeight);
    l.U32(pl::kHeaderBitmap, &headerBitmap);
    l.U16(pl::kBodyCount, &bodyCount);
    l.U16(pl::kHeaderCount, &headerCount);
    l.U32(pl::kBodyRecords, &bodyAt);
    l.U32(pl::kHeaderRecords, &headerAt);
    json.BeginObject();
    json.UtfField("page", PageName(static_cast<uint8_t>(k)));
    json.Field("offset", at);
    json.Field("flags", lf);
    json.WordsField("flag_words", LayoutFlagWords(lf));
    JsonColour(json, "page_colour", page);
    JsonColour(json, "text_colour", text);
    JsonColour(json, "edit_colour", edit);
    json.Field("side_width", sideWidth);
    JsonColour(json, "side_colour", side);
    json.Field("side_bitmap", sideBitmap);
    json.Field("header_height", headerHeight);
    json.Field("header_bitmap", headerBitmap);
    Controls(json, "body", l, bodyAt, bodyCount);
    Controls(json, "header", l, headerAt, headerCount);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

// Size members of a bitmap, or "readable": false.
void Dib(JsonWriter& json, wf::ByteView dib) {
  wf::DibInfo d;
  bool ok = wf::ParseDib(dib, &d);
  json.Field("readable", ok);
  if (!ok) return;
  json.Field("width", d.width);
  json.Field("height", d.height);
  json.Field("bits_per_pixel", d.bitCount);
}

void Bitmaps(const Bytes& table, JsonWriter& json) {
  auto v = View(table);
  uint32_t count = 0;
  json.Key("bitmaps");
  if (!v.U32(wf::bitmap_table::kCount, &count) || uint64_t{count} * 4 + 4 > v.size) return json.Null();
  json.BeginArray();
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t at = 0;
    v.U32(wf::bitmap_table::kOffsets + 4 * i, &at);
    if (at == 0) {
      json.Null();
      continue;
    }
    json.BeginObject();
    json.Field("number", i + 1);
    json.Field("offset", at);
    Dib(json, v.Sub(at, at <= v.size ? v.size - at : 0));
    json.EndObject();
  }
  json.EndArray();
}

void Background(const Package& pkg, JsonWriter& json) {
  json.Key("background_variants");
  if (pkg.backgroundVariants) {
    auto v = View(*pkg.backgroundVariants);
    int32_t count = 0;
    v.I32(wf::variant_list::kCount, &count);
    json.BeginArray();
    for (int32_t j = 0; j < count; ++j) {
      int32_t w = 0, h = 0;
      v.I32(wf::variant_list::kPairs + j * wf::variant_list::kPairSize, &w);
      v.I32(wf::variant_list::kPairs + j * wf::variant_list::kPairSize + 4, &h);
      json.BeginObject();
      json.Field("width", w);
      json.Field("height", h);
      json.EndObject();
    }
    json.EndArray();
  } else {
    json.Null();
  }
  json.Key("backgrounds").BeginArray();
  for (const Bytes& b : pkg.backgrounds) {
    auto v = View(b);
    json.BeginObject();
    json.Field("size", v.size);
    if (v.size > wf::kBitmapFileHeaderSize)
      Dib(json, v.Sub(wf::kBitmapFileHeaderSize, v.size - wf::kBitmapFileHeaderSize));
    else
      json.Field("readable", false);
    json.EndObject();
  }
  json.EndArray();
}

void Title(const Package& pkg, JsonWriter& json) {
  json.Key("title");
  uint32_t len = 0;
  const char* t = pkg.title ? View(*pkg.title).CString(0, &len) : nullptr;
  if (t) json.Ansi(std::string_view(t, len));
  else json.Null();
  namespace ts = wf::title_style;
  json.Key("title_style");
  if (!pkg.titleStyle || pkg.titleStyle->size() < ts::kSize) return json.Null();
  auto v = View(*pkg.titleStyle);
  uint32_t shadow = 0, text = 0, align = 0;
  v.U32(ts::kShadowColour, &shadow);
  v.U32(ts::kTextColour, &text);
  v.U32(ts::kAlignment, &align);
  json.BeginObject();
  JsonColour(json, "text_colour", text);
  JsonColour(json, "shadow_colour", shadow);
  json.UtfField("alignment", align ? "right" : "left");
  Font(json, "font", v.Sub(ts::kFont, wf::logfont::kSize));
  json.EndObject();
}

}  // namespace

void JsonColour(JsonWriter& json, std::string_view name, uint32_t colour) {
  json.Key(name);
  if (colour == wf::kSystemColour) json.Null();
  else json.Uint(colour);
}

void JsonLook(const Package& pkg, JsonWriter& json) {
  if (pkg.settings) Settings(*pkg.settings, json);
  else json.Key("settings").Null();
  if (pkg.bitmapTable) Bitmaps(*pkg.bitmapTable, json);
  else json.Key("bitmaps").Null();
  Background(pkg, json);
  Title(pkg, json);
  json.Key("single_page");
  if (pkg.singlePageKind) {
    json.BeginObject();
    json.UtfField("page", PageName(static_cast<uint8_t>(*pkg.singlePageKind)));
    json.Field("initial_type", pkg.initialType);
    json.EndObject();
  } else {
    json.Null();
  }
  json.Key("uninstaller_image_size");
  if (pkg.uninstaller) json.Uint(pkg.uninstaller->size());
  else json.Null();
}

}  // namespace wrenly::inspector
