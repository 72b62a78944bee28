// Linked into every fuzz target, for speed. ASan's default quarantine of
// 256 MB made each execution touch fresh pages, and it maps and poisons every
// block past 128 KB anew: bzip2 takes 3.6 MB per stream (kept here across
// streams instead), and an installer buffer past 1 MB is only ever asked for
// by a damaged size field in an input of a few kilobytes (refused here as
// memory running out, as the fuzz build does itself past 16 MB).
#include <bzlib.h>

#include <cstdint>
#include <cstdlib>

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

// Linked with --wrap, so the product's calls come here first; AllocBuffer
// (installer/platform/memory.cpp) by its mangled name, weak where unused.
extern "C" int __real_BZ2_bzDecompressInit(bz_stream* s, int verbosity, int small);
extern "C" int __wrap_BZ2_bzDecompressInit(bz_stream* s, int verbosity, int small) {
  if (!s->bzalloc) s->bzalloc = Take, s->bzfree = Give;
  return __real_BZ2_bzDecompressInit(s, verbosity, small);
}

extern "C" __attribute__((weak)) int __real__Z11AllocBufferjPv(uint32_t size, void* out);
extern "C" int __wrap__Z11AllocBufferjPv(uint32_t size, void* out) {
  if (size > (1u << 20)) return *(void**)out = nullptr, 0;
  return __real__Z11AllocBufferjPv(size, out);
}
