#include "package/decode_stream.h"

// An image may leave a decoder out; it then refuses that method like an
// unknown one. Undefined means built in.
#ifndef WRENLY_DECODE_BZIP2
#define WRENLY_DECODE_BZIP2 1
#endif
#ifndef WRENLY_DECODE_LZMA
#define WRENLY_DECODE_LZMA 1
#endif

#include <zlib.h>
#if WRENLY_DECODE_BZIP2
#include <bzlib.h>
#endif
#if WRENLY_DECODE_LZMA
#include <Bra.h>
#include <Lzma2Dec.h>
#endif

#include "format/container.h"
#include "package/data_area.h"

namespace wf = wrenly::format;

#if WRENLY_DECODE_BZIP2
// libbzip2 calls this on an internal inconsistency; the damaged stream is
// reported through the return codes instead.
extern "C" void bz_internal_error(int) {}
#endif

namespace {
// Large enough that reads, writes and the sink's calls cost little per byte
// (the install then runs near the decompressor's own speed); small enough
// to stay a fixed, modest share of memory whatever the file's size. A read
// stays short enough that a slow disc still lets the window answer between
// two of them.
constexpr uint32_t kInputSize = 256 * 1024;
constexpr uint32_t kOutputSize = 512 * 1024;

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
  // kDecodeOk with *ended when the stream is complete; *full when output may
  // still be waiting although the input is used up.
  int Step(uint8_t* out, uint32_t* produced, bool* ended, bool* full) {
    z.next_out = out;
    z.avail_out = kOutputSize;
    int r = inflate(&z, Z_NO_FLUSH);
    *produced = kOutputSize - z.avail_out;
    *full = z.avail_out == 0;
    *ended = r == Z_STREAM_END;
    // No room to progress only means the input is used up.
    if (r == Z_BUF_ERROR && z.avail_in == 0) return kDecodeOk;
    return r == Z_OK || r == Z_STREAM_END ? kDecodeOk : kDecodeBadStream;
  }
  int End() { return inflateEnd(&z) == Z_OK ? kDecodeOk : kDecodeBadStream; }
};

#if WRENLY_DECODE_BZIP2
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
  int Step(uint8_t* out, uint32_t* produced, bool* ended, bool* full) {
    bz.next_out = (char*)out;
    bz.avail_out = kOutputSize;
    int r = BZ2_bzDecompress(&bz);
    *produced = kOutputSize - bz.avail_out;
    *full = bz.avail_out == 0;
    *ended = r == BZ_STREAM_END;
    return r == BZ_OK || r == BZ_STREAM_END ? kDecodeOk : kDecodeBadStream;
  }
  int End() { return BZ2_bzDecompressEnd(&bz) == BZ_OK ? kDecodeOk : kDecodeBadStream; }
};
#endif

#if WRENLY_DECODE_LZMA
void* LzmaAlloc(ISzAllocPtr, size_t size) {
  void* p = nullptr;
  if (size <= 0xFFFFFFFFu) AllocBuffer((uint32_t)size, &p);
  return p;
}
void LzmaFree(ISzAllocPtr, void* p) { FreeBuffer(&p); }
const ISzAlloc kLzmaAlloc = {LzmaAlloc, LzmaFree};

// LZMA2 chunks behind a two-byte head; the dictionary is allocated once the
// head names its size. The x86 filter needs a few bytes of look-ahead, so up
// to four decoded bytes wait for the next step (or the stream's end).
struct Lzma {
  CLzma2Dec dec;
  const uint8_t* in = nullptr;
  uint32_t inLeft = 0;
  uint8_t head[wf::lzma_stream::kHeadSize];
  uint32_t headRead = 0;
  bool ready = false;
  uint32_t filterState = Z7_BRANCH_CONV_ST_X86_STATE_INIT_VAL;
  uint32_t position = 0;
  uint8_t held[4];
  uint32_t heldCount = 0;
  int Init() {
    Lzma2Dec_CONSTRUCT(&dec);
    return kDecodeOk;
  }
  void Feed(uint8_t* p, uint32_t n) {
    in = p;
    inLeft = n;
  }
  bool InputLeft() const { return inLeft > 0; }
  int Start() {
    while (headRead < wf::lzma_stream::kHeadSize && inLeft > 0) {
      head[headRead++] = *in++;
      --inLeft;
    }
    if (headRead < wf::lzma_stream::kHeadSize) return kDecodeOk;
    if (head[wf::lzma_stream::kFilter] > wf::kLzmaFilterX86 ||
        head[wf::lzma_stream::kDictionary] > wf::lzma_stream::kMaxDictionaryProperty)
      return kDecodeBadStream;
    SRes r = Lzma2Dec_Allocate(&dec, head[wf::lzma_stream::kDictionary], &kLzmaAlloc);
    if (r != SZ_OK) return r == SZ_ERROR_MEM ? kDecodeNoMemory : kDecodeBadStream;
    Lzma2Dec_Init(&dec);
    ready = true;
    return kDecodeOk;
  }
  int Step(uint8_t* out, uint32_t* produced, bool* ended, bool* full) {
    *produced = 0;
    *ended = *full = false;
    if (!ready) {
      int r = Start();
      if (r != kDecodeOk || !ready) return r;
    }
    for (uint32_t i = 0; i < heldCount; ++i) out[i] = held[i];
    SizeT room = kOutputSize - heldCount, used = inLeft;
    ELzmaStatus status;
    if (Lzma2Dec_DecodeToBuf(&dec, out + heldCount, &room, in, &used, LZMA_FINISH_ANY, &status) != SZ_OK)
      return kDecodeBadStream;
    in += used;
    inLeft -= (uint32_t)used;
    *full = heldCount + room == kOutputSize;
    *ended = status == LZMA_STATUS_FINISHED_WITH_MARK;
    uint32_t total = heldCount + (uint32_t)room, done = total;
    if (head[wf::lzma_stream::kFilter] == wf::kLzmaFilterX86) {
      done = (uint32_t)(z7_BranchConvSt_X86_Dec(out, total, position, &filterState) - out);
      // At the end the bytes the filter could not look past stay as they are.
      if (*ended) done = total;
      if (total - done > sizeof held) done = total - sizeof held;
    }
    heldCount = total - done;
    for (uint32_t i = 0; i < heldCount; ++i) held[i] = out[done + i];
    position += done;
    *produced = done;
    return kDecodeOk;
  }
  int End() {
    Lzma2Dec_Free(&dec, &kLzmaAlloc);
    return kDecodeOk;
  }
};
#endif

template <typename Decoder>
int Decode(Setup& setup, Decoder& d, FileHandle* volume, uint32_t remaining, const StreamSink& sink) {
  int init = d.Init();
  if (init != kDecodeOk) return init;
  uint8_t*& buffers = setup.decodeBuffers;
  if (!buffers && !AllocBuffer(kInputSize + kOutputSize, &buffers)) {
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
      result = d.Step(output, &produced, &ended, &full);
      if (result == kDecodeOk && produced) result = sink.put(sink.context, output, produced);
    }
  }
  // Bytes of the stored length behind the stream's end are not read; a
  // stream whose end never came is damaged.
  if (result == kDecodeOk && !ended) result = kDecodeBadStream;
  int end = d.End();
  if (result == kDecodeOk) result = end;
  return result;
}

}  // namespace

int DecodeStream(Setup& setup, FileHandle* volume, uint8_t method, uint32_t streamLength, const StreamSink& sink) {
  if (method == wf::kMethodZlib) {
    Zlib d;
    return Decode(setup, d, volume, streamLength, sink);
  }
#if WRENLY_DECODE_BZIP2
  if (method == wf::kMethodBzip2) {
    Bzip2 d;
    return Decode(setup, d, volume, streamLength, sink);
  }
#endif
#if WRENLY_DECODE_LZMA
  if (method == wf::kMethodLzma) {
    Lzma d;
    return Decode(setup, d, volume, streamLength, sink);
  }
#endif
  return kDecodeBadStream;
}
