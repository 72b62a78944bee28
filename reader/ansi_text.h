// Package texts are ANSI bytes (Windows-1252 unless the author chose another
// code page, which the package does not record); the host's names and the
// JSON output are UTF-8.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace wrenly::inspector {

inline constexpr uint32_t kReplacementCharacter = 0xFFFD;

// The code point of a Windows-1252 byte; U+FFFD for the five it leaves undefined.
uint32_t Cp1252ToUnicode(uint8_t byte);

void PutUtf8(std::string& s, uint32_t codePoint);

std::string Cp1252ToUtf8(std::string_view text);

}  // namespace wrenly::inspector
