// Whole files the build reads: the stub, the uninstaller, pictures, texts.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace wrenly::builder {

// Nothing when the file is no regular file or cannot be read to its end.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path);

}  // namespace wrenly::builder
