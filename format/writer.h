// Writer side of the format, for the tools only (it allocates through
// std::vector; the Installer never includes it).
#pragma once
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "bytes.h"

namespace wrenly::format {

class ByteWriter {
 public:
  std::vector<uint8_t>& bytes() { return buf_; }
  const std::vector<uint8_t>& bytes() const { return buf_; }
  uint32_t size() const { return static_cast<uint32_t>(buf_.size()); }

  void U8(uint8_t v) { buf_.push_back(v); }
  void U16(uint16_t v) {
    uint8_t b[2];
    StoreU16(b, v);
    Bytes(b, 2);
  }
  void U32(uint32_t v) {
    uint8_t b[4];
    StoreU32(b, v);
    Bytes(b, 4);
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void Bytes(const void* p, size_t n) {
    auto* c = static_cast<const uint8_t*>(p);
    buf_.insert(buf_.end(), c, c + n);
  }
  void Bytes(const std::vector<uint8_t>& v) { Bytes(v.data(), v.size()); }
  void Zeros(size_t n) { buf_.insert(buf_.end(), n, 0); }
  // NUL-terminated ANSI string.
  void CString(std::string_view s) {
    Bytes(s.data(), s.size());
    U8(0);
  }
  // u16 length then the bytes, no NUL.
  void StringField(std::string_view s) {
    U16(static_cast<uint16_t>(s.size()));
    Bytes(s.data(), s.size());
  }
  void PatchU16(uint32_t at, uint16_t v) { StoreU16(&buf_.at(at + 1) - 1, v); }
  void PatchU32(uint32_t at, uint32_t v) {
    (void)buf_.at(at + 3);
    StoreU32(buf_.data() + at, v);
  }

 private:
  std::vector<uint8_t> buf_;
};

}  // namespace wrenly::format
