// Linked into every fuzz target, for speed. ASan's default quarantine of
// 256 MB made each execution touch fresh pages, and it maps and poisons every
// block past 128 KB anew: bzip2 takes 3.6 MB per stream (kept here across
// streams instead), and an installer buffer past 1 MB is only ever asked for
// by a damaged size field in an input of a few kilobytes (refused here as
// memory running out).
#include <bzlib.h>

#include <cstdint>
#include <cstdlib>

#include "platform/files.h"

extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

namespace {
struct Kept {
  void* block;
  size_t size;
  bool used;
} kept[16];

void* Take(void*, int n, int m) {
  size_t size = (size_t)n * (size_t)m;
  for (Kept& k : kept)
    if (k.block && !k.used && k.size == size) return k.used = true, k.block;
  void* block = std::malloc(size);
  for (Kept& k : kept)
    if (!k.block && block) return k = {block, size, true}, block;
  return block;
}

void Give(void*, void* block) {
  for (Kept& k : kept)
    if (k.block == block) return (void)(k.used = false);
  std::free(block);
}
}  // namespace

// Linked with --wrap, so the product's calls come here first.
extern "C" int __real_BZ2_bzDecompressInit(bz_stream* s, int verbosity, int small);
extern "C" int __wrap_BZ2_bzDecompressInit(bz_stream* s, int verbosity, int small) {
  if (!s->bzalloc) s->bzalloc = Take, s->bzfree = Give;
  return __real_BZ2_bzDecompressInit(s, verbosity, small);
}

// The Installer's heap wrappers, in place of platform/memory.cpp.
int AllocBuffer(uint32_t size, void* out) {
  return (*(void**)out = size > (1u << 20) ? nullptr : std::malloc(size ? size : 1)) != nullptr;
}
int AllocZeroed(uint32_t size, void* out) {
  return (*(void**)out = size > (1u << 20) ? nullptr : std::calloc(size ? size : 1, 1)) != nullptr;
}
void FreeBuffer(void* ref) { std::free(*(void**)ref), *(void**)ref = nullptr; }
