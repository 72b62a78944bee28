// Pieces of the per-entry step that stand on their own.
#pragma once
#include <stdint.h>

#include "base/setup.h"

// Whether the file at path has exactly size bytes with this FileChecksum.
bool FileMatches(const char* path, uint32_t size, uint32_t checksum);
// Whether the file at path is an uninstaller whose appended record was
// completed (its last 8 bytes are an end header with the complete flag).
bool HoldsCompleteUninstaller(const char* path);
// The entry's desktop shortcut to the destination in setup.workPath, when it has one.
void CreateEntryDesktopShortcut(Setup& setup, const uint8_t* entry);
