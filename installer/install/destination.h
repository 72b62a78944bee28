// Where a FileEntry is installed.
#pragma once
#include <stdint.h>

// The last installed screen saver's FileEntry, or null.
extern const uint8_t* ScreenSaverEntry;
// Leaves the entry's full destination path in WorkPath.
void ResolveDestination(const uint8_t* entry);
