// What an Installer image says it decodes: its methods resource
// (format/stub_resources.h). Safe on any bytes: inspect asks it of the
// program in front of any package it is given.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace wrenly::builder {

// The image's methods resource; an image without one holds zlib and bzip2,
// as every Installer did before LZMA.
uint32_t StubMethods(const std::vector<uint8_t>& image);
// The same for a program found in a setup program: none when it is no Windows
// program with sound resources, whose decoders cannot be told.
std::optional<uint32_t> ImageDecoders(const std::vector<uint8_t>& image);

}  // namespace wrenly::builder
