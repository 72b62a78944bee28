// A scriptable disk for the destination checks and the volume reader.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct FakeDisk {
  bool hasFreeBytes = true;  // GetDiskFreeSpaceExA present and answering
  uint64_t freeBytes = 1ull << 30;
  bool hasGeometry = true;
  uint32_t sectorsPerCluster = 8, bytesPerSector = 512, freeClusters = 1u << 18;
  std::vector<std::string> freeBytesQueries, geometryQueries;
  std::map<std::string, std::string> fullPaths;
  std::vector<std::string> lookups;  // no file exists
};

extern FakeDisk Disk;
void ResetFakeDisk();
