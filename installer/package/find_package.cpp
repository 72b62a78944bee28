#include <string.h>

#include "base/package_model.h"
#include "package/package.h"

namespace wf = wrenly::format;

int FindPackage(Package& package, FileHandle file) {
  uint32_t fileSize = FileSize(file);
  if (fileSize == kSeekFailed) return 0;
  uint32_t n = fileSize < wf::kScanWindow ? fileSize : wf::kScanWindow;
  // The buffer is kept for later calls; one made for a smaller file is
  // replaced rather than overrun.
  if (package.scanBuffer && package.scanBufferSize < n + 8) FreeBuffer(&package.scanBuffer);
  if (!package.scanBuffer) {
    if (!AllocZeroed(n + 8, &package.scanBuffer)) return 0;
    package.scanBufferSize = n + 8;
  }
  uint8_t* buffer = package.scanBuffer;
  memset(buffer, 0, package.scanBufferSize);
  uint32_t available = fileSize > wf::kScanStart ? fileSize - wf::kScanStart : 0;
  uint32_t got = available < n ? available : n;
  if (got == 0 || FileSeek(file, (int32_t)wf::kScanStart, kSeekStart) == kSeekFailed ||
      FileRead(file, buffer, got) != 0)
    return 0;
  const uint32_t first = wf::kSignatureMinOffset - wf::kScanStart;
  for (uint32_t i = first; i + wf::kSignatureSize <= got; ++i) {
    if (wf::HasSignatureWordsAt(buffer + i)) {
      package.firstBlock = wf::kScanStart + i + wf::kSignatureSize;
      return 1;
    }
  }
  return 0;
}
