// Disk and file-name lookups of the destination checks, behind plain
// functions so the checks build and are tested natively against a fake.
#pragma once
#include <stdint.h>

inline constexpr uint32_t kAttributeReadOnly = 0x1;

// Free bytes available to the caller through GetDiskFreeSpaceExA, which is
// looked up at run time (early systems lack it). 1 when it answered.
int QueryFreeBytes(const char* path, uint64_t* freeBytes);
// GetDiskFreeSpaceA on a root; 1 when it answered.
int QueryDiskGeometry(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector, uint32_t* freeClusters);
// 1 when a file or folder exists at path; its size (capped at 4 GB - 1) and
// attributes are given when asked for.
int FindExistingFile(const char* path, uint32_t* size, uint32_t* attributes);
// The full form of path into out (size bytes); its length, or 0 when it
// failed or would not fit.
uint32_t GetFullPath(const char* path, char* out, uint32_t size);
