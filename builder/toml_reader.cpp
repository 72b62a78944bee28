#include "builder/toml_reader.h"

#include <fmt/format.h>

namespace wrenly::builder {

std::string ExpandDefines(std::string_view text, const Defines& defines, const Where& where) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    size_t start = text.find("${", i);
    if (start == std::string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, start - i));
    size_t end = text.find('}', start + 2);
    if (end == std::string_view::npos) throw BuildError(where, "unterminated ${ in \"" + std::string(text) + "\"");
    std::string_view name = text.substr(start + 2, end - start - 2);
    auto it = defines.find(name);
    if (it == defines.end())
      throw BuildError(where, fmt::format("${{{}}} is not defined (pass -D {}=VALUE)", name, name));
    out += it->second;
    i = end + 1;
  }
  return out;
}

Where TomlReader::At(const toml::node& node) const { return Where{file_, static_cast<int>(node.source().begin.line)}; }

Where TomlReader::At(const toml::table& table, std::string_view key) const {
  if (const toml::node* n = table.get(key)) return At(*n);
  return At(table);
}

void TomlReader::RequireKnownKeys(const toml::table& table, std::initializer_list<std::string_view> allowed,
                                  std::string_view tableName) const {
  for (auto&& [key, node] : table) {
    bool known = false;
    for (auto a : allowed) known = known || key.str() == a;
    if (!known) {
      Where w{file_, static_cast<int>(key.source().begin.line)};
      if (w.line == 0) w = At(node);
      throw BuildError(w, fmt::format("unknown key \"{}\" in {}", key.str(), tableName));
    }
  }
}

void TomlReader::WrongType(const toml::table& t, std::string_view key, std::string_view want) const {
  throw BuildError(At(t, key), fmt::format("\"{}\" must be {}", key, want));
}

std::string TomlReader::Expand(const toml::node& node, std::string_view text) const {
  return ExpandDefines(text, defines_, At(node));
}

std::optional<std::string> TomlReader::String(const toml::table& t, std::string_view key) const {
  const toml::node* n = t.get(key);
  if (!n) return std::nullopt;
  if (!n->is_string()) WrongType(t, key, "a string");
  return Expand(*n, n->value<std::string>().value());
}

std::optional<bool> TomlReader::Bool(const toml::table& t, std::string_view key) const {
  const toml::node* n = t.get(key);
  if (!n) return std::nullopt;
  if (!n->is_boolean()) WrongType(t, key, "true or false");
  return n->value<bool>();
}

std::optional<int64_t> TomlReader::Integer(const toml::table& t, std::string_view key, int64_t min, int64_t max) const {
  const toml::node* n = t.get(key);
  if (!n) return std::nullopt;
  if (!n->is_integer()) WrongType(t, key, "an integer");
  int64_t v = n->value<int64_t>().value();
  if (v < min || v > max) throw BuildError(At(*n), fmt::format("\"{}\" must lie between {} and {}", key, min, max));
  return v;
}

const toml::table* TomlReader::Table(const toml::table& t, std::string_view key) const {
  const toml::node* n = t.get(key);
  if (!n) return nullptr;
  if (!n->is_table()) WrongType(t, key, "a table");
  return n->as_table();
}

const toml::array* TomlReader::Array(const toml::table& t, std::string_view key) const {
  const toml::node* n = t.get(key);
  if (!n) return nullptr;
  if (!n->is_array()) WrongType(t, key, "an array");
  return n->as_array();
}

std::optional<std::vector<std::string>> TomlReader::Strings(const toml::table& t, std::string_view key) const {
  const toml::node* n = t.get(key);
  if (!n) return std::nullopt;
  std::vector<std::string> out;
  if (n->is_string()) {
    out.push_back(Expand(*n, n->value<std::string>().value()));
    return out;
  }
  if (!n->is_array()) WrongType(t, key, "a string or an array of strings");
  for (auto&& e : *n->as_array()) {
    if (!e.is_string()) throw BuildError(At(e), fmt::format("\"{}\" must hold strings only", key));
    out.push_back(Expand(e, e.value<std::string>().value()));
  }
  return out;
}

std::vector<const toml::table*> TomlReader::Tables(const toml::table& t, std::string_view key) const {
  std::vector<const toml::table*> out;
  const toml::node* n = t.get(key);
  if (!n) return out;
  if (n->is_table()) {
    out.push_back(n->as_table());
    return out;
  }
  if (!n->is_array()) WrongType(t, key, "a table or an array of tables");
  for (auto&& e : *n->as_array()) {
    if (!e.is_table()) throw BuildError(At(e), fmt::format("\"{}\" must hold tables only", key));
    out.push_back(e.as_table());
  }
  return out;
}

std::optional<uint32_t> TomlReader::Colour(const toml::table& t, std::string_view key) const {
  const toml::node* n = t.get(key);
  if (!n) return std::nullopt;
  uint32_t rgb = 0;
  if (n->is_integer()) {
    int64_t v = n->value<int64_t>().value();
    if (v < 0 || v > 0xFFFFFF) throw BuildError(At(*n), fmt::format("\"{}\" must be 0x000000 to 0xFFFFFF", key));
    rgb = static_cast<uint32_t>(v);
  } else if (n->is_string()) {
    std::string s = Expand(*n, n->value<std::string>().value());
    if (s == "system") return 0xFFFFFFFFu;
    bool ok = s.size() == 7 && s[0] == '#';
    for (size_t i = 1; ok && i < 7; ++i) ok = std::isxdigit(static_cast<unsigned char>(s[i])) != 0;
    if (!ok) throw BuildError(At(*n), fmt::format("\"{}\" must be a colour like \"#RRGGBB\" or \"system\"", key));
    rgb = static_cast<uint32_t>(std::stoul(s.substr(1), nullptr, 16));
  } else {
    WrongType(t, key, "a colour like \"#RRGGBB\"");
  }
  // Authors write red first; the package stores red in the low byte.
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

}  // namespace wrenly::builder
