// Reading the DataArea, across its volume files. The package loader reads
// its block payloads through the same reader.
#pragma once
#include <stdint.h>

#include "base/setup.h"
#include "platform/files.h"

// Reads count bytes; 0 on success. Pumps window messages every 4,096 bytes.
// Reading through &setup.dataArea.volume runs on into the next volume files;
// any other handle is read as a plain file.
int ReadDataArea(Setup& setup, FileHandle* file, void* buffer, uint32_t count);
// Lets the window answer once enough bytes have passed, read or unpacked:
// a read of well-packed data can unpack to hundreds of megabytes.
void CountTowardsPump(Setup& setup, uint32_t bytes);
int SeekDataArea(Setup& setup, uint32_t offset);  // 0, kResultCancelled or kResultVolumeMissing
FileHandle OpenNextVolume(Setup& setup);
// Closes the current volume; the run has no more entries to handle.
void CloseDataArea(Setup& setup);
// The name of volume `number` beside base: its extension replaced by ".D01",
// ".D02", ... 0 when the name would not fit in kPathSize bytes.
int MakeVolumePath(const char* base, int number, char* out);
