#include "engine_fakes.h"

#include <cstring>

#include "platform/disk.h"

FakeDisk Disk;

int QueryFreeBytes(const char* path, uint64_t* freeBytes) {
  Disk.freeBytesQueries.push_back(path);
  if (!Disk.hasFreeBytes) return 0;
  *freeBytes = Disk.freeBytes;
  return 1;
}

int QueryDiskGeometry(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector,
                      uint32_t* freeClusters) {
  Disk.geometryQueries.push_back(root);
  if (!Disk.hasGeometry) return 0;
  *sectorsPerCluster = Disk.sectorsPerCluster;
  *bytesPerSector = Disk.bytesPerSector;
  *freeClusters = Disk.freeClusters;
  return 1;
}

int FindExistingFile(const char*, uint32_t*, uint32_t*) { return 0; }

uint32_t GetFullPath(const char* path, char* out, uint32_t size) {
  auto it = Disk.fullPaths.find(path);
  std::string full = it == Disk.fullPaths.end() ? path : it->second;
  if (full.size() >= size) return out[0] = 0;
  std::memcpy(out, full.c_str(), full.size() + 1);
  return static_cast<uint32_t>(full.size());
}
