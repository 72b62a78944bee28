#include "reader/entry_paths.h"

#include "reader/ansi_text.h"
#include "reader/names.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;
namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::vector<std::string> Split(std::string_view path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (IsSeparator(c)) {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

// Kind 8's folder holds path variables and absolute paths; it becomes a
// harmless subfolder chain: "#CommonFiles#\Acme" -> CommonFiles/Acme.
std::vector<std::string> CustomFolder(std::string_view folder) {
  std::vector<std::string> out;
  for (std::string part : Split(folder)) {
    std::erase_if(part, [](char c) { return c == '#' || c == ':'; });
    if (part.empty() || part == "." || part == "..") continue;
    out.push_back(part);
  }
  return out;
}

}  // namespace

std::optional<std::vector<std::string>> SafeComponents(std::string_view path, std::string* why) {
  if (path.empty()) {
    *why = "empty name";
    return std::nullopt;
  }
  if (IsSeparator(path.front())) {
    *why = "absolute path";
    return std::nullopt;
  }
  if (path.find(':') != std::string_view::npos) {
    *why = "names a drive or stream";
    return std::nullopt;
  }
  std::vector<std::string> parts;
  for (auto& part : Split(path)) {
    if (part == "..") {
      *why = "has a \"..\" component";
      return std::nullopt;
    }
    if (part != ".") parts.push_back(part);
  }
  return parts;
}

std::optional<ExtractTarget> TargetOf(const wf::FileEntryView& e, std::string* why) {
  std::string_view item0 = e.strings[wf::kItemName];
  auto all = SafeComponents(item0, why);
  if (!all) return std::nullopt;
  ExtractTarget t;
  t.isFolder = (e.flags & wf::kFlagFolder) != 0;
  std::vector<std::string> parts;
  if (wf::DestKeepsSubfolders(e.kind)) {
    parts = *all;
    // A folder entry makes the folders of its path up to the last separator.
    bool endsInSeparator = !item0.empty() && (item0.back() == '\\' || item0.back() == '/');
    if (t.isFolder && !endsInSeparator && !parts.empty()) parts.pop_back();
  } else {
    size_t cut = item0.find_last_of('\\');
    auto name = SafeComponents(cut == std::string_view::npos ? item0 : item0.substr(cut + 1), why);
    if (!name && !t.isFolder) return std::nullopt;
    if (!t.isFolder) parts = *name;
  }
  if (!t.isFolder && parts.empty()) {
    *why = "names no file";
    return std::nullopt;
  }
  // The package's names are ANSI; the host's are UTF-8 (or wide on Windows).
  auto host = [](const std::string& ansi) {
    std::string utf8 = Cp1252ToUtf8(ansi);
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
  };
  t.relative = DestKindName(e.kind);
  if (e.kind == wf::kDestCustom)
    for (auto& f : CustomFolder(e.strings[wf::kItemFolder])) t.relative /= host(f);
  for (auto& p : parts) t.relative /= host(p);
  return t;
}

}  // namespace wrenly::inspector
