#include "base/setup.h"

#include <string.h>

namespace {
struct PathBuffer {
  char* Setup::*field;
  uint32_t size;
};
const PathBuffer kBuffers[] = {
    {&Setup::ownPath, kPathSize},         {&Setup::packagePath, kPathSize}, {&Setup::installFolder, kPathSize},
    {&Setup::workPath, kWorkPathSize},    {&Setup::tempPath, kPathSize},    {&Setup::errorArgument, kPathSize},
    {&Setup::uninstallerPath, kPathSize},
};
}  // namespace

void InitSetup(Setup& setup) {
  memset(&setup, 0, sizeof setup);
  setup.runAtEnd = true;
  setup.package.current = -1;
  setup.dataArea.volume = INVALID_FILE;
  setup.log = INVALID_FILE;
}

int AllocatePathBuffers(Setup& setup) {
  int ok = 1;
  for (const PathBuffer& b : kBuffers)
    if (!(setup.*b.field) && !AllocZeroed(b.size, &(setup.*b.field))) ok = 0;
  return ok;
}

void FreePathBuffers(Setup& setup) {
  for (const PathBuffer& b : kBuffers) FreeBuffer(&(setup.*b.field));
  FreeBuffer(&setup.decodeBuffers);
}

uint32_t SetErrorArgument(Setup& setup, const char* path) {
  uint32_t n = 0;
  while (n < kPathSize - 1 && path[n]) {
    setup.errorArgument[n] = path[n];
    ++n;
  }
  setup.errorArgument[n] = 0;
  return n + 1;
}
