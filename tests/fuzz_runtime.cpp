// Linked into every fuzz target, for speed: with ASan's default quarantine of
// 256 MB each execution touched fresh pages, and the 3.6 MB libbzip2 takes
// per stream were mapped and poisoned anew each time. Kept here instead.
#include <bzlib.h>

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

// Linked with --wrap, so the product's calls come here first.
extern "C" int __real_BZ2_bzDecompressInit(bz_stream* s, int verbosity, int small);
extern "C" int __wrap_BZ2_bzDecompressInit(bz_stream* s, int verbosity, int small) {
  if (!s->bzalloc) s->bzalloc = Take, s->bzfree = Give;
  return __real_BZ2_bzDecompressInit(s, verbosity, small);
}
