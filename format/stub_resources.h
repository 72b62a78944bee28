// Resource numbers of the Installer stub that the builder relies on when it
// gives its copy the product's icon (installer/resources/installer.rc
// writes the same number).
#pragma once
#include <cstdint>

#include "format/container.h"

namespace wrenly::format {

// The icon group of the wizard's windows, and of the program in Explorer.
inline constexpr uint32_t kStubIconGroup = 800;

// An RCDATA resource holding a u32 of StubMethodBits: the decoders built into
// this image. The builder picks the smallest image whose bits cover every
// method the package uses; an image without the resource holds zlib and bzip2.
inline constexpr uint32_t kStubMethodsResource = 810;
enum StubMethodBits : uint32_t {
  kStubHasZlib = 1u << 0,
  kStubHasBzip2 = 1u << 1,
  kStubHasLzma = 1u << 2,
};

// The StubMethodBits bit of a stored method byte; 0 for a byte no image reads.
inline constexpr uint32_t MethodBit(uint8_t method) {
  switch (method) {
    case kMethodZlib: return kStubHasZlib;
    case kMethodBzip2: return kStubHasBzip2;
    case kMethodLzma: return kStubHasLzma;
    default: return 0;
  }
}

}  // namespace wrenly::format
