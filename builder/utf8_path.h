// Paths meet text as UTF-8 on every system: the project file's names, the
// command line, messages. A plain std::string would mean the ANSI code page
// to fs::path on Windows.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace wrenly::builder {

inline std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

inline std::string Utf8(const std::filesystem::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

inline std::string GenericUtf8(const std::filesystem::path& path) {
  std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

// A path from the environment, when the variable is set and not empty.
inline std::optional<std::filesystem::path> PathFromEnvironment(const char* name) {
#ifdef _WIN32
  std::wstring wide(name, name + std::char_traits<char>::length(name));
  const wchar_t* value = _wgetenv(wide.c_str());
#else
  const char* value = std::getenv(name);
#endif
  if (!value || !*value) return std::nullopt;
  return std::filesystem::path(value);
}

}  // namespace wrenly::builder
