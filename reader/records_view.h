// The records `inspect` shows, each read once into a plain struct, so that
// the text and the JSON printers cannot read a field two ways. Every read is
// checked: a field that lies outside its record reads as 0.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/bytes.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/product_identity.h"
#include "format/settings.h"
#include "format/uninstall_log.h"

namespace wrenly::inspector {

struct FontRecord {
  std::string face;
  int32_t height = 0, weight = 0;
  bool italic = false;
};
FontRecord ReadFont(format::ByteView f);

struct ControlRecord {
  uint16_t cls = 0, id = 0;
  uint32_t style = 0, exStyle = 0, options = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool TextBox() const;
  bool FillsPage() const;
};
// `count` control records at `at` of `v`.
std::vector<ControlRecord> ReadControls(format::ByteView v, uint32_t at, uint32_t count);

struct LayoutRecord : format::PageLayoutHead {
  uint8_t page = 0;     // the page kind whose slot names it
  uint32_t offset = 0;  // in the settings
  std::vector<ControlRecord> body, header;
};

struct SettingsRecord {
  uint32_t flags = 0, topColour = 0, bottomColour = 0, options = 0, barColour = 0;
  int32_t width = 0, height = 0, barHeight = 0, buttonCount = 0;
  FontRecord dialogFont;
  std::vector<ControlRecord> buttons;
  std::vector<LayoutRecord> layouts;  // the kinds that have one, in kind order
};
// Settings already checked by the package reader: their counts fit.
SettingsRecord ReadSettings(format::ByteView s);

struct BitmapTableRecord {
  uint32_t count = 0;
  bool fits = false;              // the count's offsets lie inside the table
  std::vector<uint32_t> offsets;  // 0 where a number has no bitmap
};
BitmapTableRecord ReadBitmapTable(format::ByteView t);

struct VariantSize {
  int32_t width = 0, height = 0;
};
std::vector<VariantSize> ReadVariants(format::ByteView v);

struct TitleStyleRecord {
  uint32_t shadowColour = 0, textColour = 0, alignment = 0;
  FontRecord font;
};
// Null when the block is shorter than the record.
std::optional<TitleStyleRecord> ReadTitleStyle(format::ByteView v);
// The title text, null when it has no terminator inside its block.
std::optional<std::string_view> ReadTitle(format::ByteView v);

struct InstallTypeRecord {
  uint16_t options = 0;
  uint32_t moreOptions = 0, folderRoot = 0;
  // Each string null when absent.
  const char *product = nullptr, *typeName = nullptr, *defaultFolder = nullptr, *folderKey = nullptr,
             *folderValue = nullptr, *iniFile = nullptr, *iniSection = nullptr, *iniKey = nullptr;
  std::vector<uint8_t> pages;  // up to the end mark
  bool pagesEnded = false;     // whether the sequence has its end mark
  // Each list's texts, null where the record has no list.
  std::array<std::optional<std::vector<const char*>>, format::install_type::kMessageListCount> messages;
};
// Version, publisher and URL, as the list of installed programs shows them
// ("" where the project gave none); null when a field runs past the block.
std::optional<std::array<std::string_view, format::product_details::kFieldCount>> ReadProductDetails(
    format::ByteView v);

struct ProductIdentityRecord {
  uint8_t architecture = 0, scope = 0;
  uint16_t flags = 0;
  std::string_view id;
};
// Null when the block is shorter than its fixed part or the id runs past it.
std::optional<ProductIdentityRecord> ReadProductIdentity(format::ByteView v);

// A record already checked by the package reader: its strings and lists end inside it.
InstallTypeRecord ReadInstallType(format::ByteView r);

// An entry's options (its status word).
uint16_t EntryOptions(const format::FileEntryView& e);
struct EntryVersion {
  std::string number;  // "major.minor.build.revision"
  uint32_t language = 0;
};
std::optional<EntryVersion> ReadEntryVersion(const format::FileEntryView& e);
// Whether the entry runs anything after the installation.
bool EntryRuns(const format::FileEntryView& e);

}  // namespace wrenly::inspector
