#include <bzlib.h>

#include "base/setup.h"
#include "package/data_area.h"
#include "package/package.h"

namespace {
constexpr uint32_t kInputChunk = 8192;
}

// libbzip2 calls this on an internal inconsistency; the damaged stream is
// reported through the return codes instead.
extern "C" void bz_internal_error(int) {}

int Bunzip2ToMemory(Setup& setup, uint8_t* buffer, FileHandle* file, uint32_t size, uint32_t n) {
  bz_stream bz = {};
  int init = BZ2_bzDecompressInit(&bz, 0, 0);
  if (init != BZ_OK) return init == BZ_MEM_ERROR ? 2 : 1;
  char* input;
  if (!AllocBuffer(kInputChunk, &input)) {
    BZ2_bzDecompressEnd(&bz);
    return 2;
  }
  char none;
  bz.next_out = size ? (char*)buffer : &none;
  bz.avail_out = size;

  int result = 0;
  bool ended = false;
  while (n > 0 && !ended && result == 0) {
    uint32_t chunk = n < kInputChunk ? n : kInputChunk;
    n -= chunk;
    if (ReadDataArea(setup, file, input, chunk) != 0) {
      result = 3;
      break;
    }
    bz.next_in = input;
    bz.avail_in = chunk;
    while (bz.avail_in > 0) {
      unsigned before = bz.avail_in, room = bz.avail_out;
      int r = BZ2_bzDecompress(&bz);
      if (r == BZ_STREAM_END) {
        ended = true;
        break;
      }
      if (r != BZ_OK) {
        result = 1;
        break;
      }
      // A full buffer with input left: the stream holds more than its size.
      if (bz.avail_in == before && bz.avail_out == room) {
        result = 1;
        break;
      }
    }
  }
  uint64_t produced = ((uint64_t)bz.total_out_hi32 << 32) | bz.total_out_lo32;
  if (result == 0 && (!ended || produced != size)) result = 1;
  if (BZ2_bzDecompressEnd(&bz) != BZ_OK && result == 0) result = 1;
  FreeBuffer(&input);
  return result;
}
