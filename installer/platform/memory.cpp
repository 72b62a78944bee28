// Heap wrappers over the C runtime, shared by both builds.
#include <stdlib.h>
#include <string.h>

#include "platform/files.h"
#ifdef _WIN32
#include <malloc.h>
#endif

namespace {

void* TryAlloc(uint32_t size) {
  // malloc(0) may legally return null; a zero-sized payload is not an error.
  return malloc(size ? size : 1);
}

void GiveBackHeap() {
#ifdef _WIN32
  _heapmin();
#endif
}

}  // namespace

int AllocBuffer(uint32_t size, void* out) {
  void* p = TryAlloc(size);
  if (!p) {
    GiveBackHeap();
    p = TryAlloc(size);
  }
  *(void**)out = p;
  return p != nullptr;
}

int AllocZeroed(uint32_t size, void* out) {
  if (!AllocBuffer(size, out)) return 0;
  memset(*(void**)out, 0, size);
  return 1;
}

void FreeBuffer(void* ref) {
  void** p = (void**)ref;
  if (*p) {
    free(*p);
    *p = nullptr;
  }
}
