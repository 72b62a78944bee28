// Settings, bitmaps, background and title as JSON members.
#include "format/bitmaps.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "reader/json_report.h"
#include "reader/names.h"
#include "reader/records_view.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {

void Font(JsonWriter& json, std::string_view name, const FontRecord& f) {
  json.Key(name).BeginObject();
  json.AnsiField("face", f.face.c_str());
  json.Field("height", f.height);
  json.Field("weight", f.weight);
  json.Field("italic", f.italic);
  json.EndObject();
}

void Controls(JsonWriter& json, std::string_view name, const std::vector<ControlRecord>& controls) {
  json.Key(name).BeginArray();
  for (const ControlRecord& c : controls) {
    json.BeginObject();
    json.Field("id", c.id);
    json.Field("class", c.cls);
    json.Field("style", c.style);
    json.Field("ex_style", c.exStyle);
    json.Field("text_box", c.TextBox());
    json.Field("fills_page", c.FillsPage());
    json.Field("left", c.left);
    json.Field("top", c.top);
    json.Field("right", c.right);
    json.Field("bottom", c.bottom);
    json.EndObject();
  }
  json.EndArray();
}

void Settings(const Bytes& bytes, JsonWriter& json) {
  SettingsRecord s = ReadSettings(View(bytes));
  json.Key("settings").BeginObject();
  json.Field("size", bytes.size());
  json.Field("flags", s.flags);
  json.WordsField("flag_words", SettingsFlagWords(s.flags));
  JsonColour(json, "top_colour", s.topColour);
  JsonColour(json, "bottom_colour", s.bottomColour);
  json.Field("wizard_width", s.width);
  json.Field("wizard_height", s.height);
  json.Field("options", s.options);
  json.WordsField("option_words", SettingsOptionWords(s.options));
  Font(json, "dialog_font", s.dialogFont);
  json.Key("button_bar").BeginObject();
  json.Field("height", s.barHeight);
  JsonColour(json, "colour", s.barColour);
  Controls(json, "buttons", s.buttons);
  json.EndObject();
  json.Key("layouts").BeginArray();
  for (const LayoutRecord& l : s.layouts) {
    json.BeginObject();
    json.UtfField("page", PageName(l.page));
    json.Field("offset", l.offset);
    json.Field("flags", l.flags);
    json.WordsField("flag_words", LayoutFlagWords(l.flags));
    JsonColour(json, "page_colour", l.pageColour);
    JsonColour(json, "text_colour", l.textColour);
    JsonColour(json, "edit_colour", l.editColour);
    json.Field("side_width", l.sideWidth);
    JsonColour(json, "side_colour", l.sideColour);
    json.Field("side_bitmap", l.sideBitmap);
    json.Field("header_height", l.headerHeight);
    json.Field("header_bitmap", l.headerBitmap);
    Controls(json, "body", l.body);
    Controls(json, "header", l.header);
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

void Bitmaps(const Bytes& bytes, JsonWriter& json) {
  auto v = View(bytes);
  BitmapTableRecord table = ReadBitmapTable(v);
  json.Key("bitmaps");
  if (!table.fits) return json.Null();
  json.BeginArray();
  for (uint32_t i = 0; i < table.count; ++i) {
    uint32_t at = table.offsets[i];
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
    json.BeginArray();
    for (const VariantSize& size : ReadVariants(View(*pkg.backgroundVariants))) {
      json.BeginObject();
      json.Field("width", size.width);
      json.Field("height", size.height);
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
    else json.Field("readable", false);
    json.EndObject();
  }
  json.EndArray();
}

void Title(const Package& pkg, JsonWriter& json) {
  json.Key("title");
  auto title = pkg.title ? ReadTitle(View(*pkg.title)) : std::nullopt;
  if (title) json.Ansi(*title);
  else json.Null();
  auto style = pkg.titleStyle ? ReadTitleStyle(View(*pkg.titleStyle)) : std::nullopt;
  json.ObjectField("title_style", style.has_value(), [&] {
    JsonColour(json, "text_colour", style->textColour);
    JsonColour(json, "shadow_colour", style->shadowColour);
    json.UtfField("alignment", style->alignment ? "right" : "left");
    Font(json, "font", style->font);
  });
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
  json.ObjectField("single_page", pkg.singlePageKind.has_value(), [&] {
    json.UtfField("page", PageName(static_cast<uint8_t>(*pkg.singlePageKind)));
    json.Field("initial_type", pkg.initialType + 1);
  });
  json.Key("uninstaller_image_size");
  if (pkg.uninstaller) json.Uint(pkg.uninstaller->size());
  else json.Null();
  auto details = pkg.details ? ReadProductDetails(View(*pkg.details)) : std::nullopt;
  json.ObjectField("product_details", details.has_value(), [&] {
    json.Key("version").Ansi((*details)[wf::product_details::kVersion]);
    json.Key("publisher").Ansi((*details)[wf::product_details::kPublisher]);
    json.Key("url").Ansi((*details)[wf::product_details::kUrl]);
  });
  auto identity = pkg.identity ? ReadProductIdentity(View(*pkg.identity)) : std::nullopt;
  json.ObjectField("product_identity", identity.has_value(), [&] {
    json.UtfField("architecture", ArchitectureName(identity->architecture));
    json.UtfField("scope", ScopeName(identity->scope));
    json.Key("id").Ansi(identity->id);
    json.Field("flags", identity->flags);
    json.Field("allow_downgrade", (identity->flags & wf::kIdentityAllowDowngrade) != 0);
    json.Field("record_beside", (identity->flags & wf::kIdentityRecordBeside) != 0);
  });
}

}  // namespace wrenly::inspector
