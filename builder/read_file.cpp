#include "builder/read_file.h"

#include <fstream>

namespace wrenly::builder {

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
  // A folder or a device opens too, with a size that means nothing.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) return std::nullopt;
  return bytes;
}

}  // namespace wrenly::builder
