#include "package/decode_stream.h"

#include <bzlib.h>
#include <zlib.h>

#include "format/container.h"
#include "package/data_area.h"

namespace wf = wrenly::format;

// libbzip2 calls this on an internal inconsistency; the damaged stream is
// reported through the return codes instead.
extern "C" void bz_internal_error(int) {}

namespace {
constexpr uint32_t kInputSize = 8192;
constexpr uint32_t kOutputSize = 12288;

// Each decompressor: feed input, take output a piece at a time.
struct Zlib {
  z_stream z = {};
  int Init() {
    int r = inflateInit_(&z, "1.1.3", (int)sizeof(z_stream));
    return r == Z_OK ? kDecodeOk : r == Z_MEM_ERROR ? kDecodeNoMemory : kDecodeBadStream;
  }
  void Feed(uint8_t* p, uint32_t n) {
    z.next_in = p;
    z.avail_in = n;
  }
  bool InputLeft() const { return z.avail_in > 0; }
  // kDecodeOk with *ended when the stream is complete.
  int Step(uint8_t* out, uint32_t* produced, bool* ended) {
    z.next_out = out;
    z.avail_out = kOutputSize;
    int r = inflate(&z, Z_NO_FLUSH);
    *produced = kOutputSize - z.avail_out;
    *ended = r == Z_STREAM_END;
    // No room to progress only means the input is used up.
    if (r == Z_BUF_ERROR && z.avail_in == 0) return kDecodeOk;
    return r == Z_OK || r == Z_STREAM_END ? kDecodeOk : kDecodeBadStream;
  }
  int End() { return inflateEnd(&z) == Z_OK ? kDecodeOk : kDecodeBadStream; }
};

struct Bzip2 {
  bz_stream bz = {};
  int Init() {
    int r = BZ2_bzDecompressInit(&bz, 0, 0);
    return r == BZ_OK ? kDecodeOk : r == BZ_MEM_ERROR ? kDecodeNoMemory : kDecodeBadStream;
  }
  void Feed(uint8_t* p, uint32_t n) {
    bz.next_in = (char*)p;
    bz.avail_in = n;
  }
  bool InputLeft() const { return bz.avail_in > 0; }
  int Step(uint8_t* out, uint32_t* produced, bool* ended) {
    bz.next_out = (char*)out;
    bz.avail_out = kOutputSize;
    int r = BZ2_bzDecompress(&bz);
    *produced = kOutputSize - bz.avail_out;
    *ended = r == BZ_STREAM_END;
    return r == BZ_OK || r == BZ_STREAM_END ? kDecodeOk : kDecodeBadStream;
  }
  int End() { return BZ2_bzDecompressEnd(&bz) == BZ_OK ? kDecodeOk : kDecodeBadStream; }
};

template <typename Decoder>
int Decode(Setup& setup, Decoder& d, FileHandle* volume, uint32_t remaining, const StreamSink& sink) {
  int init = d.Init();
  if (init != kDecodeOk) return init;
  uint8_t* buffers;
  if (!AllocBuffer(kInputSize + kOutputSize, &buffers)) {
    d.End();
    return kDecodeNoMemory;
  }
  uint8_t* input = buffers;
  uint8_t* output = buffers + kInputSize;
  int result = kDecodeOk;
  bool ended = false;
  while (remaining > 0 && !ended && result == kDecodeOk) {
    uint32_t chunk = remaining < kInputSize ? remaining : kInputSize;
    if (ReadDataArea(setup, volume, input, chunk) != 0) {
      result = kDecodeReadFailed;
      break;
    }
    remaining -= chunk;
    d.Feed(input, chunk);
    bool full = false;
    while ((d.InputLeft() || full) && !ended && result == kDecodeOk) {
      uint32_t produced;
      result = d.Step(output, &produced, &ended);
      if (result == kDecodeOk && produced) result = sink.put(sink.context, output, produced);
      full = produced == kOutputSize;
    }
  }
  // Bytes of the stored length behind the stream's end are not read; a
  // stream whose end never came is damaged.
  if (result == kDecodeOk && !ended) result = kDecodeBadStream;
  int end = d.End();
  if (result == kDecodeOk) result = end;
  FreeBuffer(&buffers);
  return result;
}

}  // namespace

int DecodeStream(Setup& setup, FileHandle* volume, uint8_t method, uint32_t streamLength, const StreamSink& sink) {
  if (method == wf::kMethodZlib) {
    Zlib d;
    return Decode(setup, d, volume, streamLength, sink);
  }
  if (method == wf::kMethodBzip2) {
    Bzip2 d;
    return Decode(setup, d, volume, streamLength, sink);
  }
  return kDecodeBadStream;
}
