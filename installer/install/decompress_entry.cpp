// One entry's method byte and stream into a file, measured on the way. A
// file of more than one piece is checked and written on a second thread
// while the next piece is unpacked, so the install runs at the speed of
// unpacking rather than of unpacking, checksum and disk in a row.
#include "format/file_entry.h"
#include "install/install_run.h"
#include "package/data_area.h"
#include "package/decode_stream.h"
#include "platform/worker.h"

namespace wf = wrenly::format;

namespace {

struct FileSink {
  FileHandle out;
  uint32_t size;
  uint32_t checksum;
  int written;  // kDecodeOk until a write fails
  // The piece the worker folds and writes.
  const uint8_t* piece;
  uint32_t count;
  uint32_t pieces;
  Worker worker;
  bool threaded;
  uint8_t* buffers;  // two output buffers, taken in turn, once threaded
  uint32_t next;
};

void FoldAndWrite(void* context) {
  FileSink& s = *(FileSink*)context;
  s.checksum = wf::UpdateFileChecksum(s.checksum, s.piece, s.count);
  if (s.written == kDecodeOk && FileWrite(s.out, s.piece, s.count) != 0) s.written = kDecodeWriteFailed;
}

// A second piece means a file worth the thread; without one (or without
// the memory) the work stays here.
void StartThreaded(FileSink& s) {
  if (!AllocBuffer(2 * kDecodeOutputSize, &s.buffers)) return;
  if (StartWorker(&s.worker)) {
    s.threaded = true;
    return;
  }
  FreeBuffer(&s.buffers);
}

int PutInFile(void* context, const uint8_t* p, uint32_t n) {
  FileSink& s = *(FileSink*)context;
  s.size += n;
  if (++s.pieces == 2) StartThreaded(s);
  WaitForWorker(&s.worker);
  if (s.written != kDecodeOk) return s.written;
  s.piece = p, s.count = n;
  // The decoder's own buffer goes when decoding ends: never the worker's.
  bool ours = s.threaded && p >= s.buffers && p < s.buffers + 2 * kDecodeOutputSize;
  if (!ours) {
    FoldAndWrite(&s);
    return s.written;
  }
  PostToWorker(&s.worker, FoldAndWrite, &s);
  return kDecodeOk;
}

// The buffer the worker is not reading.
uint8_t* NextBuffer(void* context) {
  FileSink& s = *(FileSink*)context;
  if (!s.threaded) return nullptr;
  s.next ^= 1;
  return s.buffers + s.next * kDecodeOutputSize;
}

}  // namespace

int DecompressEntry(Setup& setup, FileHandle out, FileHandle* volume, uint32_t storedLength, uint32_t* sizeOut,
                    uint32_t* checksumOut) {
  if (sizeOut) *sizeOut = 0;
  if (checksumOut) *checksumOut = 0;
  // Packages record every entry's exact length; 0 cannot hold a method byte.
  if (storedLength == 0) return kDecodeBadStream;
  uint8_t method;
  int r = ReadDataArea(setup, volume, &method, 1);
  if (r != 0) return r;
  uint32_t streamLength = storedLength - 1;
  if (streamLength == 0) return kDecodeOk;
  FileSink sink = {};
  sink.out = out;
  r = DecodeStream(setup, volume, method, streamLength, StreamSink{PutInFile, &sink, NextBuffer});
  StopWorker(&sink.worker);
  FreeBuffer(&sink.buffers);
  if (r == kDecodeOk) r = sink.written;
  if (sizeOut) *sizeOut = sink.size;
  if (checksumOut) *checksumOut = sink.checksum;
  return r;
}
