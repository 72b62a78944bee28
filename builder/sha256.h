// SHA-256, for the digests that package managers check a download against.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace wrenly::builder {

// The digest of the bytes as 64 hex digits, upper case as package managers print them.
std::string Sha256Hex(const std::vector<uint8_t>& bytes);
// The same of a whole file; throws BuildError when it cannot be read.
std::string FileSha256Hex(const std::filesystem::path& file);

}  // namespace wrenly::builder
