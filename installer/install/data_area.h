// Reading the DataArea. The package loader reads its block payloads through
// the same reader.
#pragma once
#include <stdint.h>

#include "platform/files.h"

struct DataAreaState {
  FileHandle volume;       // the current DataVolume, INVALID_FILE when none
  int volumeNumber;        // 0 = the package file itself
  uint32_t volumeSize;     // DataArea bytes in the current volume
  uint32_t earlierBytes;   // DataArea bytes of the volumes before it
  uint32_t bytesLeft;      // in the current volume behind the file position
  uint32_t sizeField;      // file offset of the u32 size in the package file
  uint32_t start;          // file offset of the first DataArea byte
  int32_t pumpCountdown;
  char volumePath[260];
};

extern DataAreaState DataArea;

void ResetDataArea();
// Reads count bytes; 0 on success. Pumps window messages every 4,096 bytes.
// Reading through &DataArea.volume runs on into the next volume files; any
// other handle is read as a plain file.
int ReadDataArea(FileHandle* file, void* buffer, uint32_t count);
// The name of volume `number` beside base: its extension replaced by ".D01",
// ".D02", ... 0 when the name would not fit in 260 bytes.
int MakeVolumePath(const char* base, int number, char* out);
