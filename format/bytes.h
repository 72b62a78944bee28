// Little-endian access to package bytes. Every read is checked against the
// range it lies in: a damaged package must be refused, never read past.
#pragma once
#include <stddef.h>
#include <stdint.h>

namespace wrenly::format {

inline uint16_t LoadU16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }
inline uint32_t LoadU32(const uint8_t* p) {
  return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}
inline void StoreU16(uint8_t* p, uint16_t v) {
  p[0] = (uint8_t)v;
  p[1] = (uint8_t)(v >> 8);
}
inline void StoreU32(uint8_t* p, uint32_t v) {
  p[0] = (uint8_t)v;
  p[1] = (uint8_t)(v >> 8);
  p[2] = (uint8_t)(v >> 16);
  p[3] = (uint8_t)(v >> 24);
}

// A borrowed byte range. All accessors fail (return false / null) rather than
// step outside [data, data + size).
struct ByteView {
  const uint8_t* data = nullptr;
  uint32_t size = 0;

  // True when [offset, offset + length) lies inside the view; immune to overflow.
  bool Has(uint32_t offset, uint32_t length) const { return offset <= size && length <= size - offset; }
  bool U8(uint32_t offset, uint8_t* out) const {
    if (!Has(offset, 1)) return false;
    *out = data[offset];
    return true;
  }
  bool U16(uint32_t offset, uint16_t* out) const {
    if (!Has(offset, 2)) return false;
    *out = LoadU16(data + offset);
    return true;
  }
  bool U32(uint32_t offset, uint32_t* out) const {
    if (!Has(offset, 4)) return false;
    *out = LoadU32(data + offset);
    return true;
  }
  bool I32(uint32_t offset, int32_t* out) const {
    uint32_t v;
    if (!U32(offset, &v)) return false;
    *out = (int32_t)v;
    return true;
  }
  // A NUL-terminated string that starts at offset and ends inside the view.
  // Returns null when the terminator is missing. *length excludes the NUL.
  const char* CString(uint32_t offset, uint32_t* length = nullptr) const {
    if (offset >= size) return nullptr;
    for (uint32_t i = offset; i < size; ++i) {
      if (data[i] == 0) {
        if (length) *length = i - offset;
        return (const char*)(data + offset);
      }
    }
    return nullptr;
  }
  ByteView Sub(uint32_t offset, uint32_t length) const {
    if (!Has(offset, length)) return ByteView{};
    return ByteView{data + offset, length};
  }
};

}  // namespace wrenly::format
