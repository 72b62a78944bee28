#include <zlib.h>

#include "base/setup.h"
#include "package/data_area.h"
#include "package/package.h"

namespace {
constexpr uint32_t kInputChunk = 8192;
}

int InflateToMemory(Setup& setup, uint8_t* buffer, FileHandle* file, uint32_t size, uint32_t n) {
  z_stream z = {};
  int init = inflateInit_(&z, "1.1.3", (int)sizeof(z_stream));
  if (init != Z_OK) return init == Z_MEM_ERROR ? 2 : 1;
  uint8_t* input;
  if (!AllocBuffer(kInputChunk, &input)) {
    inflateEnd(&z);
    return 2;
  }
  uint8_t none;  // an empty payload still needs somewhere to point
  z.next_out = size ? buffer : &none;
  z.avail_out = size;

  int result = 0;
  bool ended = false;
  while (n > 0 && !ended && result == 0) {
    uint32_t chunk = n < kInputChunk ? n : kInputChunk;
    n -= chunk;
    if (ReadDataArea(setup, file, input, chunk) != 0) {
      result = 3;
      break;
    }
    z.next_in = input;
    z.avail_in = chunk;
    while (z.avail_in > 0) {
      int r = inflate(&z, Z_NO_FLUSH);
      if (r == Z_STREAM_END) {
        ended = true;  // bytes after the stream are not the stream's
        break;
      }
      if (r != Z_OK) {
        result = 1;
        break;
      }
    }
  }
  // A stream that stops short leaves part of the buffer unwritten.
  if (result == 0 && (!ended || z.total_out != size)) result = 1;
  if (inflateEnd(&z) != Z_OK && result == 0) result = 1;
  FreeBuffer(&input);
  return result;
}
