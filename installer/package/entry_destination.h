// Where a FileEntry is installed, and the checks around its destination.
#pragma once
#include <stdint.h>

#include "base/setup.h"
#include "format/file_entry.h"

// Leaves the entry's full destination path in WorkPath ("" on a fault) and
// returns whether an existing file there is in use, for the kinds that test.
bool ResolveDestination(Setup& setup, const uint8_t* entry);
bool ResolveEntryDestination(Setup& setup, const wrenly::format::FileEntryView& entry);
// The entry at `entry` checked against the current type's file table.
bool FindFileEntry(Setup& setup, const uint8_t* entry, wrenly::format::FileEntryView* out);

bool TestFileInUse(const char* path);
// A relative name that would land outside its folder: absolute, on a drive,
// a ".." component, or a stream name.
bool NameLeavesFolder(const char* name);
// The temporary file beside destination: its extension becomes ".$$A", then
// ".$$B"... while taken. 0, or 1 when no name fits in size or all are taken.
int MakeTemporaryName(const char* destination, char* out, uint32_t size);
// The same rule, the file created under the first free name: 0 with *file
// open, 1 when no name fits or all are taken, 2 when it cannot be created.
int CreateTemporaryFile(const char* destination, char* out, uint32_t size, FileHandle* file);
