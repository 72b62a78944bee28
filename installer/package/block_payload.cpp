#include <string.h>

#include "base/setup.h"
#include "package/data_area.h"
#include "package/decode_stream.h"
#include "package/package.h"

namespace wf = wrenly::format;

int ReadBlockPayload(Setup& setup, FileHandle file, const wf::BlockHeader& header, uint8_t** out, uint32_t* outSize) {
  *out = nullptr;
  uint32_t size = header.length;
  int failure = 0;
  bool compressed = (header.flags & wf::kBlockCompressed) != 0;
  if (compressed) {
    // Without a method byte there is no stream to speak of.
    if (header.length < wf::compressed_payload::kHeadSize) return kLoadDamaged;
    uint8_t field[4];
    failure = FileRead(file, field, 4);
    if (failure == 0) size = wf::LoadU32(field);
  }
  if (outSize) *outSize = size;
  if (failure) return kLoadReadFailed;

  uint8_t* buffer;
  if (!AllocBuffer(size, &buffer)) return kLoadNoMemory;
  if (compressed) {
    if (DecompressToMemory(setup, buffer, &file, size, header.length - 4) != 0) {
      FreeBuffer(&buffer);
      return kLoadDamaged;
    }
  } else if (ReadDataArea(setup, &file, buffer, size) != 0) {
    FreeBuffer(&buffer);
    return kLoadReadFailed;
  }
  *out = buffer;
  return kLoadOk;
}

namespace {

// A payload fills its buffer exactly: a stream that gives more is damaged.
struct MemorySink {
  uint8_t* at;
  uint32_t room;
};

int PutInMemory(void* context, const uint8_t* p, uint32_t n) {
  MemorySink& s = *(MemorySink*)context;
  if (n > s.room) return kDecodeBadStream;
  memcpy(s.at, p, n);
  s.at += n;
  s.room -= n;
  return kDecodeOk;
}

}  // namespace

int DecompressToMemory(Setup& setup, uint8_t* buffer, FileHandle* file, uint32_t size, uint32_t streamLength) {
  uint8_t method;
  int r = ReadDataArea(setup, file, &method, 1);
  if (r != 0) return r;
  uint32_t n = streamLength - 1;
  // No stream: only an empty payload is whole.
  if (n == 0) return size == 0 ? kDecodeOk : kDecodeBadStream;
  MemorySink sink{buffer, size};
  r = DecodeStream(setup, file, method, n, StreamSink{PutInMemory, &sink});
  // A stream that stops short leaves part of the buffer unwritten.
  return r == kDecodeOk && sink.room != 0 ? kDecodeBadStream : r;
}
