// Checked access to the project file: wrong types, unknown keys and
// undefined ${NAME} references become errors that name the file and line.
#pragma once
#include <toml++/toml.h>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "builder/error.h"

namespace wrenly::builder {

using Defines = std::map<std::string, std::string, std::less<>>;

// Replaces ${NAME} from the defines; an undefined name is an error at `where`.
std::string ExpandDefines(std::string_view text, const Defines& defines, const Where& where);

class TomlReader {
 public:
  TomlReader(std::string file, const Defines& defines) : file_(std::move(file)), defines_(defines) {}

  Where At(const toml::node& node) const;
  Where At(const toml::table& table, std::string_view key) const;
  const std::string& file() const { return file_; }

  // Fails on any key of `table` that is not in `allowed`.
  void RequireKnownKeys(const toml::table& table, std::initializer_list<std::string_view> allowed,
                        std::string_view tableName) const;

  std::optional<std::string> String(const toml::table& t, std::string_view key) const;
  std::optional<bool> Bool(const toml::table& t, std::string_view key) const;
  std::optional<int64_t> Integer(const toml::table& t, std::string_view key, int64_t min, int64_t max) const;
  const toml::table* Table(const toml::table& t, std::string_view key) const;
  const toml::array* Array(const toml::table& t, std::string_view key) const;
  // A string or an array of strings.
  std::optional<std::vector<std::string>> Strings(const toml::table& t, std::string_view key) const;
  // Every element of an array of tables; a single table counts as one.
  std::vector<const toml::table*> Tables(const toml::table& t, std::string_view key) const;
  // "#RRGGBB" or an integer 0xRRGGBB; returned as a COLORREF (red in byte 0).
  std::optional<uint32_t> Colour(const toml::table& t, std::string_view key) const;

  std::string Expand(const toml::node& node, std::string_view text) const;

 private:
  [[noreturn]] void WrongType(const toml::table& t, std::string_view key, std::string_view want) const;
  std::string file_;
  const Defines& defines_;
};

}  // namespace wrenly::builder
