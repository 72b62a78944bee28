// One entry's method byte and stream into a file, measured on the way.
#include "format/file_entry.h"
#include "install/install_run.h"
#include "package/data_area.h"
#include "package/decode_stream.h"

namespace wf = wrenly::format;

namespace {

struct FileSink {
  Setup* setup;
  FileHandle out;
  uint32_t size;
  uint32_t checksum;
};

int PutInFile(void* context, const uint8_t* p, uint32_t n) {
  FileSink& s = *(FileSink*)context;
  s.size += n;
  s.checksum = wf::UpdateFileChecksum(s.checksum, p, n);
  if (FileWrite(s.out, p, n) != 0) return kDecodeWriteFailed;
  CountTowardsPump(*s.setup, n);
  return kDecodeOk;
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
  FileSink sink{&setup, out, 0, 0};
  r = DecodeStream(setup, volume, method, streamLength, StreamSink{PutInFile, &sink});
  if (sizeOut) *sizeOut = sink.size;
  if (checksumOut) *checksumOut = sink.checksum;
  return r;
}
