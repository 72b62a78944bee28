#include "base/setup.h"
#include "package/data_area.h"
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

int DecompressToMemory(Setup& setup, uint8_t* buffer, FileHandle* file, uint32_t size, uint32_t streamLength) {
  uint8_t method;
  int r = ReadDataArea(setup, file, &method, 1);
  if (r != 0) return r;
  uint32_t n = streamLength - 1;
  // No stream: only an empty payload is whole.
  if (n == 0) return size == 0 ? 0 : 1;
  if (method == wf::kMethodZlib) return InflateToMemory(setup, buffer, file, size, n);
  if (method == wf::kMethodBzip2) return Bunzip2ToMemory(setup, buffer, file, size, n);
  return 1;
}
