// TrueType fonts: the full name from the file's name table, and the font's
// registration with the system.
#pragma once
#include <stdint.h>

inline constexpr uint32_t kFontNameSize = 520;
inline constexpr uint32_t kFontTableLimit = 40;

// The last Macintosh full-name record of the font at path, cut to fit
// kFontNameSize bytes; "" when the file has none among its first 40 tables.
void ReadFontName(const char* path, char* name);
void InstallFont(const char* path);
void RemoveFont(const char* path);
