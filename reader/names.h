// Words for the numbers of the format, for readable output.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace wrenly::inspector {

std::string BlockName(uint16_t id);
std::string PageName(uint8_t kind);
// Short name of a destination kind; also the folder Extract puts it under.
std::string DestKindName(uint32_t kind);
std::string RootName(uint32_t root);
// A ProductIdentity's values as the project file writes them; "unknown N" otherwise.
std::string ArchitectureName(uint8_t architecture);
std::string ScopeName(uint8_t scope);
std::string IdentityFlagWords(uint16_t flags);
// "install type N" for the type at `index`: counted from 1, as the project file and extract -t count.
std::string TypeLabel(size_t index);

std::string EntryFlagWords(uint32_t flags);
std::string EntryOptionWords(uint16_t status);
std::string RunWords(uint32_t flags);
std::string TypeOptionWords(uint16_t options);
std::string TypeMoreOptionWords(uint32_t options);
std::string SettingsFlagWords(uint32_t flags);
std::string SettingsOptionWords(uint32_t options);
std::string LayoutFlagWords(uint32_t flags);

std::string Hex(uint32_t v, int digits = 8);
std::string Colour(uint32_t colour);  // "system" for -1
// A text in double quotes, control bytes escaped, cut after maxChars (0: whole).
std::string Quote(std::string_view text, size_t maxChars = 0);

}  // namespace wrenly::inspector
