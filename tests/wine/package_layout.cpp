// wrenly-package-layout SETUP.exe: prints where the parts of a setup
// program's Package lie, as shell assignments, so the Wine scenarios can cut
// or damage a package at exact places without knowing the format themselves.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "format/block_ids.h"
#include "format/bytes.h"
#include "format/container.h"

namespace f = wrenly::format;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: wrenly-package-layout SETUP.exe\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.eof() && in.fail()) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  f::ByteView file{bytes.data(), static_cast<uint32_t>(bytes.size())};

  uint32_t signature = 0;
  for (uint32_t p = f::kSignatureMinOffset; file.Has(p, f::kSignatureSize) &&
                                            p + f::kSignatureSize <= f::kSignatureEndLimit;
       ++p) {
    if (f::IsSignatureAt(bytes.data() + p)) {
      signature = p;
      break;
    }
  }
  if (!signature) {
    std::fprintf(stderr, "%s: no package signature\n", argv[1]);
    return 1;
  }

  const uint32_t firstBlock = signature + f::kSignatureSize;
  std::printf("file_size=%u\nsignature=%u\nfirst_block=%u\nfirst_length_at=%u\n", file.size,
              signature, firstBlock, firstBlock + f::block_header::kLength);
  uint32_t at = firstBlock, count = 0;
  bool sawCompressed = false;
  while (file.Has(at, f::block_header::kSize)) {
    f::BlockHeader h = f::ParseBlockHeader(bytes.data() + at);
    const uint32_t payload = at + f::block_header::kSize;
    if (h.id == f::kBlockEnd) {
      uint32_t dataSize = 0;
      if (!file.U32(payload, &dataSize)) break;
      std::printf("block_count=%u\nend_block=%u\nsize_field=%u\ndata_start=%u\ndata_size=%u\n",
                  count, at, payload, payload + f::kEndBlockSizeField, dataSize);
      return 0;
    }
    if (!sawCompressed && (h.flags & f::kBlockCompressed) && h.length > f::compressed_payload::kHeadSize) {
      // The first compressed block: where a damaged method or stream goes.
      sawCompressed = true;
      std::printf("zblock_id=%u\nzblock_method_at=%u\nzblock_stream_at=%u\nzblock_stream_size=%u\n", h.id,
                  payload + f::compressed_payload::kMethod, payload + f::compressed_payload::kStream,
                  h.length - f::compressed_payload::kHeadSize);
    }
    ++count;
    if (!file.Has(payload, h.length)) break;
    at = payload + h.length;
  }
  std::fprintf(stderr, "%s: the block stream has no end block\n", argv[1]);
  return 1;
}
