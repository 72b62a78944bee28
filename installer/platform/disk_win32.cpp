#include "platform/disk.h"

#include <windows.h>

#include "platform/system_library.h"

namespace {
typedef BOOL(WINAPI* FreeSpaceEx)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
}

int QueryFreeBytes(const char* path, uint64_t* freeBytes) {
  // Windows 95 before OSR2 lacks it; the folder field asks on every change.
  FreeSpaceEx query = (FreeSpaceEx)KernelFunction("GetDiskFreeSpaceExA");
  ULARGE_INTEGER available, total, free;
  if (!query || !query(path, &available, &total, &free)) return 0;
  *freeBytes = available.QuadPart;
  return 1;
}

int QueryDiskGeometry(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector, uint32_t* freeClusters) {
  DWORD spc, bps, free, total;
  if (!GetDiskFreeSpaceA(root, &spc, &bps, &free, &total)) return 0;
  *sectorsPerCluster = spc;
  *bytesPerSector = bps;
  *freeClusters = free;
  return 1;
}

int FindExistingFile(const char* path, uint32_t* size, uint32_t* attributes) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(path, &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  FindClose(find);
  if (size) *size = data.nFileSizeHigh ? 0xFFFFFFFFu : data.nFileSizeLow;
  if (attributes) *attributes = data.dwFileAttributes;
  return 1;
}

uint32_t GetFullPath(const char* path, char* out, uint32_t size) {
  DWORD n = GetFullPathNameA(path, size, out, nullptr);
  if (n == 0 || n >= size) {
    if (size) out[0] = 0;
    return 0;
  }
  return n;
}
