#include "install/disk_space.h"

#include <string.h>

#include "base/setup.h"
#include "platform/disk.h"

namespace {

constexpr uint64_t kKb = 1024, kMb = 1024 * 1024;

uint32_t CapKb(uint64_t kb) { return kb >= kFreeSpaceHuge ? kFreeSpaceHuge : (uint32_t)kb; }

// Copies at most size - 1 bytes.
void CopyBounded(char* out, const char* in, uint32_t size) {
  uint32_t n = 0;
  while (n < size - 1 && in[n]) {
    out[n] = in[n];
    ++n;
  }
  out[n] = 0;
}

}  // namespace

uint64_t RoundUpToClusters(uint64_t bytes, uint64_t clusterBytes) {
  if (clusterBytes == 0) return bytes;
  return (bytes + clusterBytes - 1) / clusterBytes * clusterBytes;
}

uint32_t FreeKbFromBytes(uint64_t bytes) { return CapKb(bytes / kKb); }

uint32_t FreeKbFromClusters(uint32_t clusterBytes, uint32_t freeClusters) {
  return CapKb((uint64_t)clusterBytes * freeClusters / kKb);
}

bool SpaceIsShort(uint64_t totalBytes, uint64_t largestBytes, uint64_t clusterBytes, uint32_t freeKb) {
  if (freeKb == kFreeSpaceUnknown || freeKb == kFreeSpaceHuge) return false;
  return (totalBytes + RoundUpToClusters(largestBytes, clusterBytes)) / kKb >= freeKb;
}

uint64_t EntrySpaceNeed(uint32_t size, bool hasExisting, uint32_t existingBytes, uint64_t clusterBytes) {
  uint64_t need = RoundUpToClusters(size, clusterBytes);
  if (!hasExisting) return need;
  uint64_t occupied = RoundUpToClusters(existingBytes, clusterBytes);
  return need > occupied ? need - occupied : 0;
}

DiskSpaceFigures DiskSpaceFiguresFrom(uint32_t freeKb, uint64_t requiredBytes) {
  uint64_t free = freeKb == kFreeSpaceUnknown ? 0 : freeKb;
  return DiskSpaceFigures{(uint32_t)((free + kKb - 1) / kKb), (uint32_t)((requiredBytes + kMb - 1) / kMb)};
}

uint32_t GetFreeDiskSpace(const char* path, uint32_t* clusterKb) {
  if (clusterKb) *clusterKb = 1;
  if (!path || !*path) return kFreeSpaceUnknown;
  // Room for a backslash more than a full path.
  char root[kPathSize + 2];
  CopyBounded(root, path, kPathSize);
  if (root[1] == ':' && root[2] == '\\') root[3] = 0;
  bool unc = root[0] == '\\' && root[1] == '\\';
  size_t n = strlen(root);
  if (unc && root[n - 1] != '\\') {
    root[n] = '\\';
    root[n + 1] = 0;
  } else if (!unc && n > 3 && root[n - 1] == '\\') {
    root[n - 1] = 0;
  }

  uint32_t result = kFreeSpaceUnknown;
  uint64_t bytes;
  if (QueryFreeBytes(root, &bytes)) result = FreeKbFromBytes(bytes);
  if (result != kFreeSpaceUnknown && !clusterKb) return result;

  if (!unc && root[1] == ':') {
    root[2] = '\\';
    root[3] = 0;
  }
  uint32_t sectors, sectorBytes, freeClusters;
  if (!QueryDiskGeometry(root, &sectors, &sectorBytes, &freeClusters)) return result;
  uint64_t clusterBytes = (uint64_t)sectors * sectorBytes;
  if (clusterBytes > 0xFFFFFFFFu) clusterBytes = 0xFFFFFFFFu;
  if (result == kFreeSpaceUnknown) result = FreeKbFromClusters((uint32_t)clusterBytes, freeClusters);
  if (clusterKb && clusterBytes > 0) *clusterKb = (uint32_t)((clusterBytes + kKb - 1) / kKb);
  return result;
}
