// Which Installer image a package goes behind. The images differ only in the
// decoders they hold (format/stub_resources.h); the build takes the smallest
// that reads every method the package uses, in its entries and its blocks.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "builder/stub_methods.h"

namespace wrenly::builder {

struct StubImage {
  std::filesystem::path path;  // empty for an image given in memory
  std::vector<uint8_t> bytes;
  uint32_t methods = 0;  // StubMethodBits
};

// An image given as bytes alone is taken as it is, whatever it holds.
inline constexpr uint32_t kAnyMethod = 0xFFFFFFFFu;

// "zlib", "zlib, bzip2 and LZMA": the decoders of `bits`.
std::string DecoderNames(uint32_t bits);

// The images an Installer folder offers: its wrenly-stub*.exe, by name.
std::vector<std::filesystem::path> ImagesIn(const std::filesystem::path& folder);

// The smallest image whose decoders cover `used`; the first of equal ones.
// None when no image reads the package.
std::optional<size_t> ChooseStub(uint32_t used, std::span<const StubImage> offered);

// Why no image was chosen: the decoders each one lacks.
std::string NoStubText(uint32_t used, std::span<const StubImage> offered);

}  // namespace wrenly::builder
