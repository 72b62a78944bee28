// Where a FileEntry is installed, and the checks around its destination.
#pragma once
#include <stdint.h>

#include "format/file_entry.h"

// The last installed screen saver's FileEntry, or null.
extern const uint8_t* ScreenSaverEntry;
// 0, or kResultPackageIncomplete when the last entry resolved was damaged: it lies outside the
// file table, its name leaves its folder, or its path does not fit.
extern int DestinationFault;

// Leaves the entry's full destination path in WorkPath ("" on a fault) and
// returns whether an existing file there is in use, for the kinds that test.
bool ResolveDestination(const uint8_t* entry);
bool ResolveEntryDestination(const wrenly::format::FileEntryView& entry);
// The entry at `entry` checked against the current type's file table.
bool FindFileEntry(const uint8_t* entry, wrenly::format::FileEntryView* out);

bool TestFileInUse(const char* path);
// A relative name that would land outside its folder: absolute, on a drive,
// a ".." component, or a stream name.
bool NameLeavesFolder(const char* name);
// The temporary file beside destination: its extension becomes ".$$A", then
// ".$$B"... while taken. 0, or 1 when no name fits in size or all are taken.
int MakeTemporaryName(const char* destination, char* out, uint32_t size);

// The entry's desktop shortcut to the destination in WorkPath, when it has one.
void CreateEntryDesktopShortcut(const uint8_t* entry);
