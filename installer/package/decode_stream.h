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
};

// Decodes streamLength bytes of `method` (a stored method byte) from volume.
// Bytes behind the stream's end are not read.
int DecodeStream(Setup& setup, FileHandle* volume, uint8_t method, uint32_t streamLength, const StreamSink& sink);
