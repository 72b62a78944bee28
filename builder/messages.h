// The MessageTable an InstallType carries: ten lists of texts, the default
// English wording, and the placeholder rules the Installer relies on.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wrenly::builder {

inline constexpr int kListCount = 10;
using MessageTable = std::array<std::vector<std::string>, kListCount>;

// What the Installer passes when it uses a text as a printf format.
enum class Placeholders {
  kNone,        // not a format: any text, a lone % included
  kOneString,   // exactly one %s
  kOneNumber,   // exactly one %d
  kMaybeString  // a result text: used as a format with one %s only when it holds "%s"
};

Placeholders PlaceholdersOf(int list, int item);

// Empty when `text` suits `rule`, else what is wrong with it.
std::string CheckPlaceholders(std::string_view text, Placeholders rule);

// Default English texts; `{product}` is replaced by the product name.
MessageTable DefaultMessages(std::string_view product);

// The uninstaller's texts by format::UninstallerText: defaults for all but
// the place (index 0, left empty), and their names in the project file.
std::vector<std::string> DefaultUninstallerTexts(std::string_view product);
std::optional<uint16_t> ParseUninstallerTextKey(std::string_view key);
std::string UninstallerTextNames();

// "7/31" or one of the documented names ("caption", "welcome.title" ...).
std::optional<std::pair<int, int>> ParseMessageKey(std::string_view key);

// Items that the Installer reads, for the completeness check.
std::vector<std::pair<int, int>> UsedMessages();

void SetMessage(MessageTable& table, int list, int item, std::string text);

}  // namespace wrenly::builder
