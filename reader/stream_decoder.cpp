#include "reader/stream_decoder.h"

#include <Bra.h>
#include <Lzma2Dec.h>
#include <bzlib.h>
#include <zlib.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "format/container.h"
#include "format/stub_resources.h"
#include "reader/damaged.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {
constexpr size_t kOutChunk = 64 * 1024;
// What the reader allocates for an LZMA dictionary at most. The builder writes
// 4 MiB; a larger one only where the entry is that large, from another writer.
constexpr uint64_t kMaxLzmaDictionary = 256u << 20;

void* LzmaAlloc(ISzAllocPtr, size_t size) { return std::malloc(size); }
void LzmaFree(ISzAllocPtr, void* p) { std::free(p); }
const ISzAlloc kLzmaAlloc{LzmaAlloc, LzmaFree};
}  // namespace

struct StreamDecoder::Impl {
  uint8_t method;
  uint64_t maxOutput;
  z_stream z{};
  bz_stream bz{};
  std::vector<uint8_t> out = std::vector<uint8_t>(kOutChunk);
  // LZMA: the stream's head as it arrives, then the decoder and what the x86
  // filter has not yet seen whole.
  std::array<uint8_t, wf::lzma_stream::kHeadSize> head{};
  size_t headRead = 0;
  CLzma2Dec lzma{};
  bool lzmaStarted = false;
  uint32_t x86State = 0;
  uint64_t x86At = 0;
  std::vector<uint8_t> unfiltered;

  void StartLzma();
  bool FeedLzma(const uint8_t* data, size_t size, const Sink& sink);
  void Out(const uint8_t* data, size_t size, bool end, const Sink& sink);
};

void StreamDecoder::Impl::StartLzma() {
  uint8_t filter = head[wf::lzma_stream::kFilter], property = head[wf::lzma_stream::kDictionary];
  if (filter != wf::kLzmaFilterNone && filter != wf::kLzmaFilterX86)
    throw Damaged("unknown LZMA filter " + std::to_string(filter));
  if (property > wf::lzma_stream::kMaxDictionaryProperty)
    throw Damaged("LZMA dictionary property " + std::to_string(property) + " (at most 40)");
  // No sound stream reaches further back than its output is long.
  while (property > 0 && wf::LzmaDictionarySize(property - 1) >= maxOutput) --property;
  if (wf::LzmaDictionarySize(property) > kMaxLzmaDictionary)
    throw Damaged("an LZMA dictionary of " + std::to_string(wf::LzmaDictionarySize(property)) +
                  " bytes, more than the reader allocates");
  Lzma2Dec_Construct(&lzma);
  if (Lzma2Dec_Allocate(&lzma, property, &kLzmaAlloc) != SZ_OK) throw Damaged("LZMA: cannot start the decoder");
  Lzma2Dec_Init(&lzma);
  lzmaStarted = true;
}

// The x86 filter is undone over the whole output; it needs the next 4 bytes
// to decide on a byte, so up to 4 wait for the next call, and at the end pass as they are.
void StreamDecoder::Impl::Out(const uint8_t* data, size_t size, bool end, const Sink& sink) {
  if (head[wf::lzma_stream::kFilter] == wf::kLzmaFilterNone) {
    if (size) sink(data, size);
    return;
  }
  unfiltered.insert(unfiltered.end(), data, data + size);
  uint8_t* stop =
      z7_BranchConvSt_X86_Dec(unfiltered.data(), unfiltered.size(), static_cast<uint32_t>(x86At), &x86State);
  size_t done = end ? unfiltered.size() : static_cast<size_t>(stop - unfiltered.data());
  if (done) sink(unfiltered.data(), done);
  x86At += done;
  unfiltered.erase(unfiltered.begin(), unfiltered.begin() + static_cast<ptrdiff_t>(done));
}

// True at the stream's end; `size` then says nothing about what follows.
bool StreamDecoder::Impl::FeedLzma(const uint8_t* data, size_t size, const Sink& sink) {
  for (; headRead < head.size() && size; --size) head[headRead++] = *data++;
  if (headRead < head.size()) return false;
  if (!lzmaStarted) StartLzma();
  for (;;) {
    SizeT produced = kOutChunk, used = size;
    ELzmaStatus status;
    SRes r = Lzma2Dec_DecodeToBuf(&lzma, out.data(), &produced, data, &used, LZMA_FINISH_ANY, &status);
    if (r != SZ_OK) throw Damaged("bad LZMA stream (code " + std::to_string(r) + ")");
    data += used, size -= used;
    bool end = status == LZMA_STATUS_FINISHED_WITH_MARK;
    Out(out.data(), produced, end, sink);
    if (end) {
      if (size) throw Damaged("bytes after the end of the compressed stream");
      return true;
    }
    if (size == 0 && produced < kOutChunk) return false;
    if (used == 0 && produced == 0) throw Damaged("bad LZMA stream: no progress");
  }
}

const char* MethodName(uint8_t method) {
  switch (method) {
    case wf::kMethodZlib: return "zlib";
    case wf::kMethodBzip2: return "bzip2";
    case wf::kMethodLzma: return "lzma";
    default: return "unknown";
  }
}

std::vector<const char*> DecoderNames(uint32_t stubBits) {
  std::vector<const char*> names;
  for (uint8_t m : {wf::kMethodZlib, wf::kMethodBzip2, wf::kMethodLzma})
    if (stubBits & wf::MethodBit(m)) names.push_back(MethodName(m));
  return names;
}

StreamDecoder::StreamDecoder(uint8_t method, uint64_t maxOutput) : impl_(std::make_unique<Impl>()) {
  impl_->method = method;
  impl_->maxOutput = maxOutput;
  if (method == wf::kMethodZlib) {
    if (inflateInit(&impl_->z) != Z_OK) throw Damaged("zlib: cannot start the decoder");
  } else if (method == wf::kMethodBzip2) {
    if (BZ2_bzDecompressInit(&impl_->bz, 0, 0) != BZ_OK) throw Damaged("bzip2: cannot start the decoder");
  } else if (method != wf::kMethodLzma) {
    throw Damaged("unknown compression method " + std::to_string(method));
  }
}

StreamDecoder::~StreamDecoder() {
  if (impl_->method == wf::kMethodZlib) inflateEnd(&impl_->z);
  else if (impl_->method == wf::kMethodBzip2) BZ2_bzDecompressEnd(&impl_->bz);
  else if (impl_->lzmaStarted) Lzma2Dec_Free(&impl_->lzma, &kLzmaAlloc);
}

void StreamDecoder::Feed(const uint8_t* data, size_t size, const Sink& sink) {
  if (size == 0) return;
  if (finished_) throw Damaged("bytes after the end of the compressed stream");
  uint8_t* out = impl_->out.data();
  if (impl_->method == wf::kMethodLzma) {
    finished_ = impl_->FeedLzma(data, size, sink);
  } else if (impl_->method == wf::kMethodZlib) {
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
