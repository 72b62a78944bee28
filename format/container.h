// The container: a signature somewhere after the program image, typed blocks,
// an end block that carries the DataArea size, then the DataArea itself.
#pragma once
#include <stdint.h>

#include "bytes.h"

namespace wrenly::format {

// "wwgT)H": the u16 0x7777 followed by the u32 0x48295467.
inline constexpr uint8_t kSignature[6] = {0x77, 0x77, 0x67, 0x54, 0x29, 0x48};
inline constexpr uint32_t kSignatureSize = 6;
// The first 1,020 bytes are never searched; the search reads from 1,012 so the
// window is 198,988 bytes and the signature must end within the first 200,000.
inline constexpr uint32_t kScanStart = 1012;
inline constexpr uint32_t kScanWindow = 198988;
inline constexpr uint32_t kSignatureMinOffset = 1020;
inline constexpr uint32_t kSignatureEndLimit = kScanStart + kScanWindow;
static_assert(kSignatureEndLimit == 200000);
// Largest program image whose signature still ends inside the window.
inline constexpr uint32_t kMaxStubSize = kSignatureEndLimit - kSignatureSize;

namespace block_header {
inline constexpr uint32_t kId = 0;      // u16
inline constexpr uint32_t kFlags = 2;   // u16
inline constexpr uint32_t kLength = 4;  // u32: bytes after the header up to the next one
inline constexpr uint32_t kSize = 8;
static_assert(kLength + 4 == kSize);
}  // namespace block_header

inline constexpr uint16_t kBlockCompressed = 0x0001;  // block flags bit 0

// Head of a compressed payload; the stream follows.
namespace compressed_payload {
inline constexpr uint32_t kUnpackedSize = 0;  // u32
inline constexpr uint32_t kMethod = 4;        // u8
inline constexpr uint32_t kStream = 5;
inline constexpr uint32_t kHeadSize = 5;
static_assert(kMethod + 1 == kHeadSize);
}  // namespace compressed_payload

// Method byte of compressed payloads and of DataArea entries. Installers have
// always refused every other value, 0 and 3 included, and still do.
enum Method : uint8_t {
  kMethodZlib = 1,  // RFC 1950 stream
  kMethodBzip2 = 2,
  kMethodLzma = 4,  // lzma_stream below
};

// A kMethodLzma stream: a filter byte, the LZMA2 dictionary property byte,
// then LZMA2 chunks up to their end marker (a 0 control byte). Independent
// parts of one file start with a dictionary reset, so the builder may
// compress them on separate cores and chain them.
namespace lzma_stream {
inline constexpr uint32_t kFilter = 0;      // u8: LzmaFilter
inline constexpr uint32_t kDictionary = 1;  // u8: 0..40, size (2 | (p & 1)) << (p / 2 + 11)
inline constexpr uint32_t kChunks = 2;
inline constexpr uint32_t kHeadSize = 2;
static_assert(kDictionary + 1 == kHeadSize);
inline constexpr uint8_t kMaxDictionaryProperty = 40;
inline constexpr uint8_t kChunksEnd = 0x00;
}  // namespace lzma_stream

// What the decoder undoes after LZMA2, over the whole unpacked file.
enum LzmaFilter : uint8_t {
  kLzmaFilterNone = 0,
  kLzmaFilterX86 = 1,  // x86 branch targets made absolute (executables compress better)
};

// The dictionary a property byte stands for; property 40 is 4 GiB - 1.
inline constexpr uint32_t LzmaDictionarySize(uint8_t property) {
  return property >= lzma_stream::kMaxDictionaryProperty ? 0xFFFFFFFFu : (2u | (property & 1u)) << (property / 2 + 11);
}
static_assert(LzmaDictionarySize(0) == 4096 && LzmaDictionarySize(20) == 4u << 20);

// End block: 8-byte header (id kBlockEnd), then a u32 DataArea size, then the
// DataArea. Writers store the DataArea size in the header's length field too.
inline constexpr uint32_t kEndBlockSizeField = 4;
// Flags of an uninstall record's final end header: the record is complete.
inline constexpr uint16_t kEndFlagRecordComplete = 0x0002;

// DataVolume files: the package path with its extension replaced by ".D01",
// ".D02", ...; each starts with a u32 count of the DataArea bytes it holds.
inline constexpr const char kVolumeSuffixFormat[] = ".D%2.2d";
inline constexpr uint32_t kVolumeCountField = 4;

struct BlockHeader {
  uint16_t id;
  uint16_t flags;
  uint32_t length;
};

inline BlockHeader ParseBlockHeader(const uint8_t* p) {
  return BlockHeader{LoadU16(p + block_header::kId), LoadU16(p + block_header::kFlags),
                     LoadU32(p + block_header::kLength)};
}

// The same signature as two integers. The Installer compares these, so its
// own image never holds the six bytes and its search cannot stop inside it.
inline constexpr uint16_t kSignatureLow = 0x7777;
inline constexpr uint32_t kSignatureHigh = 0x48295467;
inline bool HasSignatureWordsAt(const uint8_t* p) {
  return LoadU16(p) == kSignatureLow && LoadU32(p + 2) == kSignatureHigh;
}

inline bool IsSignatureAt(const uint8_t* p) {
  for (uint32_t i = 0; i < kSignatureSize; ++i)
    if (p[i] != kSignature[i]) return false;
  return true;
}

}  // namespace wrenly::format
