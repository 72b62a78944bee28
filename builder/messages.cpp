#include "builder/messages.h"

#include <fmt/format.h>

#include <charconv>
#include <iterator>

#include "format/install_type.h"
#include "format/uninstall_log.h"

namespace wrenly::builder {
namespace {

struct DefaultText {
  int list, item;
  const char* text;
};

// Page texts: k/0 title, k/1 subtitle, k/2..k/5 the body controls 1000..1003.
constexpr DefaultText kDefaults[] = {
    {0, 0, "Welcome"},
    {0, 1, ""},
    {0, 2, "<fontsize=16><b>Welcome to the {product} setup</b>"},
    {0, 3, "This program puts {product} on your computer."},
    {0, 4, "Close the programs you are running before you go on, so that files in use can be updated."},
    {0, 5, "Click Next to continue, or Cancel to leave without installing."},
    {1, 0, "Information"},
    {1, 1, "Please read the following before you go on."},
    {1, 2, ""},
    {1, 3, ""},
    {1, 4, ""},
    {1, 5, ""},
    {2, 0, "License agreement"},
    {2, 1, "Please read the terms under which {product} is offered."},
    {2, 2, "You must accept the agreement below to install {product}."},
    {2, 3, ""},
    {2, 4, "I &accept the agreement"},
    {2, 5, "I &do not accept the agreement"},
    {3, 0, "Destination folder"},
    {3, 1, "Where should {product} go?"},
    {3, 2, "{product} will be installed in this folder. Type another path or click the button to pick one."},
    {3, 3, ""},
    {3, 4, ""},
    {3, 5, "Click Next to continue."},
    {3, 6, "Space needed:"},
    {3, 7, "Space free:"},
    {3, 8, "%d MB"},
    {4, 0, "Ready"},
    {4, 1, "Everything is set for the installation."},
    {4, 2, "Setup has what it needs to install {product}."},
    {4, 3, "Destination folder:\n    %s"},
    {4, 4, ""},
    {4, 5, "Click Install to begin, or Back to change something."},
    {5, 0, "Installing"},
    {5, 1, "Please wait while {product} is installed."},
    {5, 2, "Copying:"},
    {5, 3, ""},
    {5, 4, ""},
    {5, 5, ""},
    {6, 0, "Done"},
    {6, 1, "The setup has finished."},
    {6, 2, "<fontsize=14><b>{product} is installed</b>"},
    {6, 3, ""},
    {6, 4, "Click Next to close this program."},
    {6, 5, "The installation did not complete.\n\n%s"},
    {6, 6, "&Open the documentation"},
    {6, 7, "&Start {product} now"},
    {6, 8, "The computer must be restarted before {product} can be used. Restart now?"},
    {6, 9, ""},
    {7, 0, "{product} Setup"},
    {7, 1, "Pick the folder for {product}:"},
    {7, 4, "Checking the folder and the free space..."},
    {7, 5, "This destination folder cannot be used. Please pick another one."},
    {7, 6, "The folder does not exist yet. Should it be created?"},
    {7, 7, "Some files that will be replaced are marked read-only. Replace them anyway?"},
    {7, 11, "The drive does not have enough free space. Install anyway?"},
    {7, 13, "Stopping now leaves {product} partly installed. Stop anyway?"},
    {7, 14, "{product} is not installed yet. Quit the setup?"},
    {7, 15, "The setup was cancelled. {product} has not been installed."},
    {7, 16, "The file %s could not be opened."},
    {7, 17, "The file %s could not be written. Check that the drive is not full or protected."},
    {7, 18, "The data file %s could not be read."},
    {7, 21, "The contents of %s were damaged and not accepted."},
    {7, 28, "Please insert disk %d and click OK."},
    {7, 29, "The file %s already on this computer is newer than the one in this setup. Replace it anyway?"},
    {7, 30, "The file %s on this computer is in another language than the one in this setup. Replace it?"},
    {7, 31, "This setup program is incomplete: part of its data is missing. Please get a complete copy."},
    {7, 32, "The contents of %s failed their check. Install the file anyway?"},
    {8, 0, "< &Back"},
    {8, 1, "&Next >"},
    {8, 2, "Cancel"},
    {8, 3, "&Install"},
    {8, 4, ""},
    {8, 5, "&Stop"},
    {8, 6, "&Restart"},
};

struct NamedKey {
  const char* name;
  int list, item;
};

constexpr const char* kPageNames[] = {"welcome", "information", "agreement", "destination",
                                      "ready",   "progress",    "finish"};

constexpr NamedKey kNames[] = {
    {"caption", 7, 0},
    {"browse_title", 7, 1},
    {"checking", 7, 4},
    {"bad_folder", 7, 5},
    {"create_folder", 7, 6},
    {"read_only", 7, 7},
    {"low_space", 7, 11},
    {"stop_install", 7, 13},
    {"quit_setup", 7, 14},
    {"cancelled", 7, 15},
    {"cannot_open", 7, 16},
    {"cannot_write", 7, 17},
    {"cannot_read_volume", 7, 18},
    {"damaged", 7, 21},
    {"next_disk", 7, 28},
    {"newer_file", 7, 29},
    {"other_language", 7, 30},
    {"incomplete", 7, 31},
    {"check_failed", 7, 32},
    {"back", 8, 0},
    {"next", 8, 1},
    {"cancel", 8, 2},
    {"install", 8, 3},
    {"stop", 8, 5},
    {"restart", 8, 6},
    {"license", 2, 3},
    {"information", 1, 2},
    {"ready.folder", 4, 3},
    {"finish.failed", 6, 5},
    {"finish.run_button", 6, 6},
    {"finish.run_checkbox", 6, 7},
    {"finish.restart", 6, 8},
    {"finish.needs_restart", 6, 9},
    {"destination.size", 3, 8},
    {"destination.needed", 3, 6},
    {"destination.free", 3, 7},
};

constexpr const char* kPageItemNames[] = {"title", "subtitle", "text1", "text2", "text3", "text4"};

bool ParseInt(std::string_view s, int* out) {
  if (s.empty()) return false;
  auto r = std::from_chars(s.data(), s.data() + s.size(), *out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

Placeholders PlaceholdersOf(int list, int item) {
  namespace f = wrenly::format;
  namespace m = f::msg;
  bool messages = list == m::kListMessages;
  if ((list == f::kPageDestination && item == m::kDestinationMegabytes) || (messages && item == m::kInsertDisk))
    return Placeholders::kOneNumber;
  if ((list == f::kPageReady && item == m::kReadySummary) || (list == f::kPageFinish && item == m::kFinishFailed))
    return Placeholders::kOneString;
  if (messages && (item == m::kNewerFile || item == m::kOtherLanguage || item == m::kCheckFailed))
    return Placeholders::kOneString;
  // Every list-7 text can become a result text through the error formatter.
  if (messages && item != m::kCaption && item != m::kBrowseTitle) return Placeholders::kMaybeString;
  return Placeholders::kNone;
}

std::string CheckPlaceholders(std::string_view text, Placeholders rule) {
  if (rule == Placeholders::kNone) return {};
  if (rule == Placeholders::kMaybeString && text.find("%s") == std::string_view::npos) return {};
  std::vector<char> conversions;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    size_t j = i + 1;
    if (j < text.size() && text[j] == '%') {
      i = j;
      continue;
    }
    while (j < text.size() && std::string_view("-#0 +").find(text[j]) != std::string_view::npos) ++j;
    while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '.')) ++j;
    bool isLong = j < text.size() && (text[j] == 'l' || text[j] == 'h');
    if (isLong) ++j;
    if (j >= text.size()) return "ends with an incomplete % conversion";
    char c = text[j];
    if (isLong && c == 's') return "uses %ls or %hs; write %s";
    conversions.push_back(c);
    i = j;
  }
  char want = rule == Placeholders::kOneNumber ? 'd' : 's';
  const char* wantText = want == 'd' ? "%d (a number)" : "%s (a path)";
  if (conversions.empty()) return fmt::format("needs one {}", wantText);
  if (conversions.size() > 1)
    return fmt::format("has {} placeholders; it may have only one {}", conversions.size(), wantText);
  char c = conversions[0];
  bool ok = want == 's' ? c == 's' : (c == 'd' || c == 'i' || c == 'u');
  if (!ok) return fmt::format("has %{} where {} is expected", c, wantText);
  return {};
}

namespace {
std::string WithProduct(std::string text, std::string_view product) {
  for (size_t at; (at = text.find("{product}")) != std::string::npos;) text.replace(at, 9, product);
  return text;
}
}  // namespace

MessageTable DefaultMessages(std::string_view product) {
  MessageTable table;
  for (const auto& d : kDefaults) SetMessage(table, d.list, d.item, WithProduct(d.text, product));
  return table;
}

namespace {
struct UninstallerDefault {
  const char* name;
  format::UninstallerText index;
  const char* text;
};
constexpr UninstallerDefault kUninstallerDefaults[] = {
    {"title", format::kTextTitle, "Uninstall {product}"},
    {"question", format::kTextQuestion,
     "Do you want to remove {product} and everything that was installed with it from this computer?"},
    {"removing", format::kTextRemoving, "Removing {product} from this computer..."},
    {"done", format::kTextDone, "{product} has been removed from this computer."},
    {"restart", format::kTextRestart,
     "{product} has been removed. A few of its files were in use; Windows deletes them when it restarts."},
    {"partial", format::kTextPartial,
     "{product} has been removed, but some of its parts could not be. You may delete what is left yourself."},
    {"damaged", format::kTextDamaged,
     "The information needed to remove {product} is damaged or missing, so nothing was removed."},
    {"running", format::kTextRunning, "Another uninstaller is running. Wait until it has finished, then try again."},
};
static_assert(std::size(kUninstallerDefaults) == format::kUninstallerTextCount - 1, "every text but the place");
}  // namespace

std::vector<std::string> DefaultUninstallerTexts(std::string_view product) {
  std::vector<std::string> texts(format::kUninstallerTextCount);
  for (const auto& d : kUninstallerDefaults) texts[d.index] = WithProduct(d.text, product);
  return texts;
}

std::optional<uint16_t> ParseUninstallerTextKey(std::string_view key) {
  for (const auto& d : kUninstallerDefaults)
    if (key == d.name) return d.index;
  return std::nullopt;
}

std::string UninstallerTextNames() {
  std::string names;
  for (const auto& d : kUninstallerDefaults) names += (names.empty() ? "" : ", ") + std::string(d.name);
  return names;
}

std::optional<std::pair<int, int>> ParseMessageKey(std::string_view key) {
  size_t slash = key.find('/');
  if (slash != std::string_view::npos) {
    int list, item;
    if (!ParseInt(key.substr(0, slash), &list) || !ParseInt(key.substr(slash + 1), &item)) return std::nullopt;
    if (list < 0 || list >= kListCount || item < 0 || item > 999) return std::nullopt;
    return std::pair{list, item};
  }
  for (const auto& n : kNames)
    if (key == n.name) return std::pair{n.list, n.item};
  size_t dot = key.find('.');
  if (dot != std::string_view::npos) {
    for (int page = 0; page < 7; ++page) {
      if (key.substr(0, dot) != kPageNames[page]) continue;
      for (int item = 0; item < 6; ++item)
        if (key.substr(dot + 1) == kPageItemNames[item]) return std::pair{page, item};
    }
  }
  return std::nullopt;
}

std::vector<std::pair<int, int>> UsedMessages() {
  namespace m = format::msg;
  std::vector<std::pair<int, int>> used;
  // Every page kind's title, subtitle and four body texts.
  for (int page = format::kPageWelcome; page <= format::kPageFinish; ++page)
    for (int item = m::kPageTitle; item <= m::kPageText0 + 3; ++item) used.emplace_back(page, item);
  for (int item : {m::kDestinationRequiredLabel, m::kDestinationFreeLabel, m::kDestinationMegabytes})
    used.emplace_back(format::kPageDestination, item);
  for (int item : {m::kFinishRunButton, m::kFinishRunCheckBox, m::kFinishRestartQuestion, m::kFinishRestartAlways})
    used.emplace_back(format::kPageFinish, item);
  for (int item : {m::kCaption, m::kBrowseTitle, m::kCheckingSpace, m::kBadFolder, m::kCreateFolder,
                   m::kReadOnlyTargets, m::kNotEnoughSpace, m::kStopPartialInstall, m::kCancelQuestion, m::kCancelled,
                   m::kCannotOpen, m::kCannotWrite, m::kCannotReadVolume, m::kFileDamaged, m::kInsertDisk,
                   m::kNewerFile, m::kOtherLanguage, m::kPackageIncomplete, m::kCheckFailed})
    used.emplace_back(m::kListMessages, item);
  for (int item :
       {m::kButtonBack, m::kButtonNext, m::kButtonCancel, m::kButtonInstall, m::kButtonStop, m::kButtonRestartNow})
    used.emplace_back(m::kListButtons, item);
  return used;
}

void SetMessage(MessageTable& table, int list, int item, std::string text) {
  auto& items = table[list];
  if (items.size() <= static_cast<size_t>(item)) items.resize(item + 1);
  items[item] = std::move(text);
}

}  // namespace wrenly::builder
