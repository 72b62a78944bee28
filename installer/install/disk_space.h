// Space arithmetic of the destination checks. Sizes in bytes are 64-bit so
// that no sum or rounding can wrap; free space is in KB with the two special
// values of install_run.h.
#pragma once
#include <stdint.h>

#include "install/install_run.h"

uint64_t RoundUpToClusters(uint64_t bytes, uint64_t clusterBytes);
// Free bytes as KB; 4 TB or more (or anything that would read as a special
// value) is kFreeSpaceHuge.
uint32_t FreeKbFromBytes(uint64_t bytes);
uint32_t FreeKbFromClusters(uint32_t clusterBytes, uint32_t freeClusters);
// Room is short when the files plus one more copy of the largest (its
// temporary file) reach the free space; unknown free space never blocks.
bool SpaceIsShort(uint64_t totalBytes, uint64_t largestBytes, uint64_t clusterBytes, uint32_t freeKb);
// What one entry adds to the total when a file of existingBytes already lies
// at its destination (hasExisting).
uint64_t EntrySpaceNeed(uint32_t size, bool hasExisting, uint32_t existingBytes, uint64_t clusterBytes);
DiskSpaceFigures DiskSpaceFiguresFrom(uint32_t freeKb, uint64_t requiredBytes);
