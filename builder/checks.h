// What the build refuses before anything is written: paths that Windows
// cannot create or that leave their folder, malformed versions, a stub that
// is not a Windows GUI program.
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wrenly::builder {

enum class PathRule {
  kBelow,         // a path below a folder: no drive, no leading backslash
  kFolderBelow,   // the same, or starting with a #Variable#
  kInstallFolder  // the product's folder: may also start with a drive or a UNC share
};

// Everything below its folder must fit MAX_PATH under the shortest folder
// there is ("C:\", three characters, and the terminating zero).
inline constexpr size_t kMaxPathBelowFolder = 256;
inline constexpr size_t kMaxComponent = 255;

// Empty when `path` (backslashes, UTF-8) is acceptable, else what is wrong with it.
std::string PathProblem(std::string_view path, PathRule rule);

// A key under which names that Windows takes for the same one compare equal.
std::string FoldCase(std::string_view utf8);

// "1", "1.2" ... "1.2.3.4", each number at most 65535; nullopt when malformed.
std::optional<std::array<uint16_t, 4>> ParseVersion(std::string_view text);

// The machine field of a Windows program's PE header (0x14C x86, 0x8664
// x64, 0xAA64 ARM64); none when the bytes do not start one.
std::optional<uint16_t> PeMachine(const std::vector<uint8_t>& image);

// Throws BuildError naming `path` when `stub` is not a Windows GUI program for
// x86 or x86-64, or leaves no room for the signature.
void CheckStub(const std::filesystem::path& path, const std::vector<uint8_t>& stub);

}  // namespace wrenly::builder
