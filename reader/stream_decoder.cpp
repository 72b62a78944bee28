#include "reader/stream_decoder.h"

#include <bzlib.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "format/container.h"
#include "reader/damaged.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {
constexpr size_t kOutChunk = 64 * 1024;
}

struct StreamDecoder::Impl {
  uint8_t method;
  z_stream z{};
  bz_stream bz{};
  std::vector<uint8_t> out = std::vector<uint8_t>(kOutChunk);
};

const char* MethodName(uint8_t method) {
  switch (method) {
    case wf::kMethodZlib: return "zlib";
    case wf::kMethodBzip2: return "bzip2";
    default: return "unknown";
  }
}

StreamDecoder::StreamDecoder(uint8_t method) : impl_(std::make_unique<Impl>()) {
  impl_->method = method;
  if (method == wf::kMethodZlib) {
    if (inflateInit(&impl_->z) != Z_OK) throw Damaged("zlib: cannot start the decoder");
  } else if (method == wf::kMethodBzip2) {
    if (BZ2_bzDecompressInit(&impl_->bz, 0, 0) != BZ_OK) throw Damaged("bzip2: cannot start the decoder");
  } else {
    throw Damaged("unknown compression method " + std::to_string(method));
  }
}

StreamDecoder::~StreamDecoder() {
  if (impl_->method == wf::kMethodZlib) inflateEnd(&impl_->z);
  else BZ2_bzDecompressEnd(&impl_->bz);
}

void StreamDecoder::Feed(const uint8_t* data, size_t size, const Sink& sink) {
  if (size == 0) return;
  if (finished_) throw Damaged("bytes after the end of the compressed stream");
  uint8_t* out = impl_->out.data();
  if (impl_->method == wf::kMethodZlib) {
    z_stream& z = impl_->z;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    for (;;) {
      z.next_out = out;
      z.avail_out = kOutChunk;
      int r = inflate(&z, Z_NO_FLUSH);
      size_t produced = kOutChunk - z.avail_out;
      if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR)
        throw Damaged(std::string("bad zlib stream") + (z.msg ? std::string(": ") + z.msg : ""));
      if (produced) sink(out, produced);
      if (r == Z_STREAM_END) {
        finished_ = true;
        break;
      }
      if (z.avail_in == 0 && z.avail_out != 0) break;
      if (r == Z_BUF_ERROR && produced == 0) throw Damaged("bad zlib stream: no progress");
    }
    if (finished_ && z.avail_in != 0) throw Damaged("bytes after the end of the compressed stream");
  } else {
    bz_stream& bz = impl_->bz;
    bz.next_in = reinterpret_cast<char*>(const_cast<uint8_t*>(data));
    bz.avail_in = static_cast<unsigned>(size);
    for (;;) {
      bz.next_out = reinterpret_cast<char*>(out);
      bz.avail_out = kOutChunk;
      unsigned before = bz.avail_in;
      int r = BZ2_bzDecompress(&bz);
      size_t produced = kOutChunk - bz.avail_out;
      if (r != BZ_OK && r != BZ_STREAM_END) throw Damaged("bad bzip2 stream (code " + std::to_string(r) + ")");
      if (produced) sink(out, produced);
      if (r == BZ_STREAM_END) {
        finished_ = true;
        break;
      }
      if (bz.avail_in == 0 && bz.avail_out != 0) break;
      if (produced == 0 && bz.avail_in == before) throw Damaged("bad bzip2 stream: no progress");
    }
    if (finished_ && bz.avail_in != 0) throw Damaged("bytes after the end of the compressed stream");
  }
}

}  // namespace wrenly::inspector
