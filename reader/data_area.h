// Streaming reader of the DataArea across the package file and its volumes,
// and the decoder of one entry's method byte and stream.
#pragma once
#include <cstdint>
#include <fstream>

#include "reader/package.h"
#include "reader/stream_decoder.h"

namespace wrenly::inspector {

class DataAreaReader {
 public:
  explicit DataAreaReader(const Package& pkg) : pkg_(pkg) {}
  // Positions the reader; throws Damaged when offset lies beyond the parts found.
  void Seek(uint64_t offset);
  // Reads exactly n bytes, moving into the next volume as needed.
  void Read(uint8_t* out, size_t n);

 private:
  void Open(size_t part, uint64_t within);
  [[noreturn]] void Beyond(uint64_t offset) const;

  const Package& pkg_;
  std::ifstream in_;
  size_t part_ = SIZE_MAX;
  uint64_t left_ = 0;    // bytes left in the current part
  uint64_t offset_ = 0;  // DataArea offset of the next byte
};

struct EntryData {
  uint8_t method = 0;
  uint64_t size = 0;
  uint32_t checksum = 0;
};

// Decodes the data stored at [offset, offset + storedLength) to `sink`,
// measuring size and FileChecksum. Throws Damaged on a bad method, a bad or
// short stream, bytes after the stream, or output beyond `maxSize`.
EntryData DecodeEntry(DataAreaReader& reader, uint32_t offset, uint32_t storedLength, uint64_t maxSize,
                      const Sink& sink);

// The method byte of an entry's data, or 0 when it cannot be read.
uint8_t PeekMethod(const Package& pkg, uint32_t offset);

}  // namespace wrenly::inspector
