// Where Extract puts an entry: below a folder named after its destination
// kind, never outside the target folder.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/file_entry.h"

namespace wrenly::inspector {

// The components of a package path (separators '\' and '/'), or nothing with
// `why` set when the path is empty, absolute, names a drive or has a ".."
// component.
std::optional<std::vector<std::string>> SafeComponents(std::string_view path, std::string* why);

struct ExtractTarget {
  std::filesystem::path relative;  // below the extraction folder
  bool isFolder = false;           // a folder entry: create `relative`
};

// The target of one entry, or nothing with `why` set when its name is refused.
std::optional<ExtractTarget> TargetOf(const format::FileEntryView& e, std::string* why);

}  // namespace wrenly::inspector
