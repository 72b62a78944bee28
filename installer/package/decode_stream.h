// The decompressors behind one face: a stream read from the DataArea, its
// output handed to a sink piece by piece. Entries go to a file this way,
// compressed block payloads into memory.
#pragma once
#include <stdint.h>

#include "base/setup.h"
#include "platform/files.h"

enum DecodeResult {
  kDecodeOk = 0,
  kDecodeBadStream = 1,  // an unknown method, a damaged stream, one that never ends
  kDecodeNoMemory = 2,
  kDecodeReadFailed = 3,
  kDecodeWriteFailed = 4,  // the sink refused its bytes
};

struct StreamSink {
  // kDecodeOk, or the DecodeResult that stops the decoding.
  int (*put)(void* context, const uint8_t* bytes, uint32_t count);
  void* context;
  // Where the decoder writes its next kDecodeOutputSize bytes; null (or a
  // null answer) means its own buffer. A sink that keeps working on what it
  // was given after put returns hands out buffers of its own this way.
  uint8_t* (*buffer)(void* context) = nullptr;
};

inline constexpr uint32_t kDecodeOutputSize = 256 * 1024;

// Decodes streamLength bytes of `method` (a stored method byte) from volume.
// Bytes behind the stream's end are not read.
int DecodeStream(Setup& setup, FileHandle* volume, uint8_t method, uint32_t streamLength, const StreamSink& sink);
