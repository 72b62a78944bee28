// A product as the project file describes it, resolved: every source file
// found, every option turned into the package's terms.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "builder/code_page.h"
#include "builder/error.h"
#include "builder/messages.h"

namespace wrenly::builder {

enum class Compression : uint8_t { kZlib = 1, kBzip2 = 2, kLzma = 4 };

// One packed image (a 24-bit bottom-up DIB without file header).
using Dib = std::vector<uint8_t>;

struct FileItem {
  Where where;
  std::filesystem::path source;  // empty for folder entries
  std::vector<uint8_t> content;  // when there is no source; sources are read as they are compressed
  uint16_t status = 0;           // package-side EntryStatus options
  uint16_t iconIndex = 0;
  uint32_t flags = 0;
  uint32_t kind = 0;
  bool hasVersion = false;
  uint32_t versionMS = 0, versionLS = 0, language = 0;
  bool hasTimes = false;
  uint64_t fileTime = 0;  // FILETIME of the last write, used for all three
  Compression compression = Compression::kZlib;
  int level = 6;
  std::string items[10];  // name, menu groups, menu name, menu args, menu icon, desktop name,
                          // desktop args, desktop icon, run args, custom folder
  std::string shownName;  // the name in UTF-8, for the build's own output
};

struct RegistryPlace {
  uint32_t root = 2;
  std::string key, value;
};

struct IniPlace {
  std::string file, section, key;
};

struct InstallTypeConfig {
  Where where;
  std::string name;
  std::string folder;  // default folder, with #Variables#
  std::optional<RegistryPlace> folderRegistry;
  std::optional<IniPlace> folderIni;
  uint16_t options = 0;
  uint32_t moreOptions = 0;
  std::vector<uint8_t> pages;  // page kinds, without the end marker
  MessageTable texts;
  std::vector<Where> textWhere[kListCount];  // where an author text came from (line 0: default)
  std::vector<FileItem> files;
  std::vector<uint8_t> uninstallSections;  // block 5189 payload
  // Loader state: texts that come from files, and whether pages were given.
  std::string information, license;
  Where informationWhere, licenseWhere;
  bool pagesGiven = false;
  Where pagesWhere;
};

struct BackgroundVariant {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> bmpFile;  // complete .bmp image
};

struct TitleStyleConfig {
  uint32_t shadowColour = 0, textColour = 0x00FFFFFF, alignment = 0;
  int32_t height = -36, weight = 700;
  uint8_t italic = 0;
  std::string face = "Arial";
};

struct Project {
  std::filesystem::path file;
  std::filesystem::path folder;
  Where where;  // of [product]
  // Every file the project brought in besides the sources: texts, pictures, programs.
  std::vector<std::filesystem::path> inputs;
  std::string product;
  // How the product belongs on the machine (format/product_identity.h).
  uint8_t architecture = 0;  // format::Architecture
  uint8_t scope = 0;         // format::Scope
  uint16_t identityFlags = 0;
  std::string id;  // its key in the list of installed programs; empty: the product name
  // For the list of installed programs; empty: not written.
  std::string version, publisher, url;
  // What the setup program says about itself (its version resource and icon).
  std::string copyright;
  std::vector<uint8_t> icon;  // an .ico file; empty: the Installer's own
  // Look.
  bool fullscreen = false;
  bool gradient = true;
  uint32_t bitmapPlacement = 0;
  uint32_t topColour = 0x00FF0000, bottomColour = 0;
  std::string title;
  TitleStyleConfig titleStyle;
  std::vector<BackgroundVariant> variants;
  Dib sideBitmap, headerBitmap;
  // Output.
  Compression compression = Compression::kZlib;
  int level = 6;
  uint64_t volumeSize = 0;  // 0: one file
  // One page shown alone (no installation end actions); -1: the whole wizard.
  int singlePage = -1;
  int initialType = 0;  // index; counts only with singlePage
  std::optional<std::filesystem::path> stub;
  unsigned codePage = kDefaultCodePage;  // of every text in the package
  // Uninstaller.
  std::vector<uint8_t> uninstallerImage;  // block 5183; empty: the build looks for one
  std::string uninstallerName;            // empty: no uninstaller entry
  // Its record in a file beside it rather than behind its program; unset:
  // beside exactly when the build signs it, whose signature the record
  // would break.
  std::optional<bool> recordBeside;
  std::vector<std::string> uninstallerTexts;  // by format::UninstallerText, the place first
  std::vector<InstallTypeConfig> types;
  std::optional<std::string> signing;  // [signing] command, read when no --sign replaces it
  Where signingWhere;
};

}  // namespace wrenly::builder
