#include "builder/compress.h"

#include <Bra.h>
#include <Lzma2Enc.h>
#include <bzlib.h>
#include <fmt/format.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "builder/checks.h"
#include "format/container.h"

namespace wrenly::builder {

std::vector<uint8_t> CompressZlib(std::span<const uint8_t> data, int level) {
  uLongf bound = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(bound);
  int rc = compress2(out.data(), &bound, data.data(), static_cast<uLong>(data.size()), level);
  if (rc != Z_OK) throw BuildError("zlib compression failed");
  out.resize(bound);
  return out;
}

std::vector<uint8_t> CompressBzip2(std::span<const uint8_t> data, int blockSize100k) {
  // bzip2's documented bound: 1% plus 600 bytes.
  unsigned int size = static_cast<unsigned int>(data.size() + data.size() / 100 + 600);
  std::vector<uint8_t> out(size);
  int rc = BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &size,
                                    const_cast<char*>(reinterpret_cast<const char*>(data.data())),
                                    static_cast<unsigned int>(data.size()), blockSize100k, 0, 0);
  if (rc != BZ_OK) throw BuildError("bzip2 compression failed");
  out.resize(size);
  return out;
}

uint8_t LzmaDictionaryProperty(uint64_t size) {
  uint8_t property = 0;
  while (format::LzmaDictionarySize(property) < std::min<uint64_t>(size, kLzmaDictionary)) ++property;
  return property;
}

bool TakesX86Filter(const std::vector<uint8_t>& head) {
  std::optional<uint16_t> machine = PeMachine(head);
  return machine && (*machine == 0x14C || *machine == 0x8664);
}

void FilterX86(std::span<uint8_t> bytes, uint64_t at, size_t length, X86Carry& carry) {
  std::copy_n(carry.ahead.begin(), carry.aheadCount, bytes.begin());
  // Behind `at` only when the previous call reached the file's end: nothing is left to filter.
  if (carry.resume >= at && carry.resume < at + bytes.size()) {
    uint8_t* from = bytes.data() + (carry.resume - at);
    uint8_t* end = z7_BranchConvSt_X86_Enc(from, static_cast<SizeT>(bytes.data() + bytes.size() - from),
                                           static_cast<uint32_t>(carry.resume), &carry.state);
    carry.resume = at + static_cast<uint64_t>(end - bytes.data());
  }
  carry.aheadCount = carry.resume > at + length ? static_cast<size_t>(carry.resume - at - length) : 0;
  std::copy_n(bytes.begin() + static_cast<ptrdiff_t>(length), carry.aheadCount, carry.ahead.begin());
}

namespace {
void* LzmaAlloc(ISzAllocPtr, size_t size) { return std::malloc(size); }
void LzmaFree(ISzAllocPtr, void* p) { std::free(p); }
const ISzAlloc kLzmaAlloc{LzmaAlloc, LzmaFree};
}  // namespace

namespace {
// Whether samples spread over the piece all fail to shrink under quick zlib:
// then the LZMA encoder would spend its slowest search for nothing.
bool Incompressible(std::span<const uint8_t> piece) {
  constexpr size_t kSample = 16 << 10, kSamples = 16;
  if (piece.size() < kSample * kSamples) return false;
  for (size_t n = 0; n < kSamples; ++n) {
    size_t at = (piece.size() - kSample) / (kSamples - 1) * n;
    if (CompressZlib(piece.subspan(at, kSample), 1).size() < kSample - kSample / 64) return false;
  }
  return true;
}

}  // namespace

// A control byte (1 resets the dictionary, 2 not), the size - 1 big-endian, the bytes.
std::vector<uint8_t> StoredLzmaChunks(std::span<const uint8_t> part, bool first, bool last) {
  constexpr size_t kChunk = 1 << 16;
  std::vector<uint8_t> out;
  out.reserve(part.size() + part.size() / kChunk * 3 + 4);
  for (size_t at = 0; at < part.size(); at += kChunk) {
    size_t n = std::min(kChunk, part.size() - at);
    out.insert(out.end(), {uint8_t(first && at == 0 ? 1 : 2), uint8_t((n - 1) >> 8), uint8_t(n - 1)});
    out.insert(out.end(), part.begin() + static_cast<ptrdiff_t>(at), part.begin() + static_cast<ptrdiff_t>(at + n));
  }
  if (last) out.push_back(format::lzma_stream::kChunksEnd);
  return out;
}

namespace {
using LzmaEncoder = std::unique_ptr<CLzma2Enc, void (*)(CLzma2Enc*)>;

LzmaEncoder NewLzmaEncoder(uint8_t dictionary, int level, uint64_t size) {
  LzmaEncoder enc(Lzma2Enc_Create(&kLzmaAlloc, &kLzmaAlloc), Lzma2Enc_Destroy);
  if (!enc) throw BuildError("LZMA compression failed (out of memory)");
  CLzma2EncProps props;
  Lzma2EncProps_Init(&props);
  // With the dictionary fixed, the SDK's levels differ in the search only:
  // 1..4 hash chains, 5..6 binary trees, 7..9 binary trees with 64 fast bytes.
  // Ours from 4 on (the default 6 included) take the best; 1..3 are quicker.
  props.lzmaProps.level = std::min(level + 3, 9);
  props.lzmaProps.dictSize = format::LzmaDictionarySize(dictionary);
  props.lzmaProps.reduceSize = size;
  props.lzmaProps.numThreads = 1;
  props.blockSize = LZMA2_ENC_PROPS_BLOCK_SIZE_SOLID;  // one block: the dictionary never restarts
  props.numBlockThreads_Max = props.numTotalThreads = 1;
  if (Lzma2Enc_SetProps(enc.get(), &props) != SZ_OK) throw BuildError("LZMA compression failed (properties)");
  return enc;
}
}  // namespace

size_t LzmaEncoderMemory(uint8_t dictionary) {
  size_t size = format::LzmaDictionarySize(dictionary);
  return size * 23 / 2 + (1 << 20);
}

std::vector<uint8_t> CompressLzma(std::vector<uint8_t> data, uint8_t filter, uint8_t dictionary, int level) {
  X86Carry carry;
  if (filter == format::kLzmaFilterX86) FilterX86(data, 0, data.size(), carry);
  if (Incompressible(data)) return StoredLzmaChunks(data, true, true);
  LzmaEncoder enc = NewLzmaEncoder(dictionary, level, data.size());
  // LZMA2's own bound: stored chunks of 64 KiB behind 3-byte heads.
  size_t bound = data.size() + data.size() / 1024 + 64;
  // Left uninitialised: only what the encoder writes is touched.
  std::unique_ptr<uint8_t, void (*)(void*)> buffer(static_cast<uint8_t*>(std::malloc(bound)), std::free);
  static const uint8_t kNothing = 0;
  if (!buffer) throw BuildError("LZMA compression failed (out of memory)");
  size_t size = bound;
  SRes rc = Lzma2Enc_Encode2(enc.get(), nullptr, buffer.get(), &size, nullptr, data.empty() ? &kNothing : data.data(),
                             data.size(), nullptr);
  if (rc != SZ_OK || size == 0 || buffer.get()[size - 1] != format::lzma_stream::kChunksEnd)
    throw BuildError(fmt::format("LZMA compression failed (code {})", rc));
  return {buffer.get(), buffer.get() + size};
}

std::vector<uint8_t> CompressLzmaWhole(std::span<const uint8_t> data, uint8_t filter, int level) {
  uint8_t dictionary = LzmaDictionaryProperty(data.size());
  std::vector<uint8_t> out{filter, dictionary},
      chunks = CompressLzma({data.begin(), data.end()}, filter, dictionary, level);
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}

void CompressLzmaStream(uint8_t dictionary, int level, uint64_t size,
                        const std::function<size_t(uint8_t*, size_t)>& read,
                        const std::function<void(std::span<const uint8_t>)>& write) {
  // The callbacks run inside the SDK's C code, which an exception must not cross.
  struct In {
    ISeqInStream vt;
    const std::function<size_t(uint8_t*, size_t)>* read;
    std::exception_ptr error;
  } in{{[](ISeqInStreamPtr p, void* buf, size_t* size) -> SRes {
         auto* self = reinterpret_cast<In*>(const_cast<ISeqInStream*>(p));
         try {
           *size = (*self->read)(static_cast<uint8_t*>(buf), *size);
           return SZ_OK;
         } catch (...) {
           self->error = std::current_exception();
           return SZ_ERROR_READ;
         }
       }},
       &read,
       nullptr};
  struct Out {
    ISeqOutStream vt;
    const std::function<void(std::span<const uint8_t>)>* write;
    std::exception_ptr error;
    uint8_t lastByte = 0;
  } out{{[](ISeqOutStreamPtr p, const void* buf, size_t size) -> size_t {
          auto* self = reinterpret_cast<Out*>(const_cast<ISeqOutStream*>(p));
          try {
            if (size) {
              (*self->write)({static_cast<const uint8_t*>(buf), size});
              self->lastByte = static_cast<const uint8_t*>(buf)[size - 1];
            }
            return size;
          } catch (...) {
            self->error = std::current_exception();
            return 0;
          }
        }},
        &write,
        nullptr};
  LzmaEncoder enc = NewLzmaEncoder(dictionary, level, size);
  SRes rc = Lzma2Enc_Encode2(enc.get(), &out.vt, nullptr, nullptr, &in.vt, nullptr, 0, nullptr);
  if (in.error) std::rethrow_exception(in.error);
  if (out.error) std::rethrow_exception(out.error);
  if (rc != SZ_OK || out.lastByte != format::lzma_stream::kChunksEnd)
    throw BuildError(fmt::format("LZMA compression failed (code {})", rc));
}

std::vector<uint8_t> CompressZlibPiece(std::span<const uint8_t> dictionary, std::span<const uint8_t> piece, bool last,
                                       int level) {
  z_stream z{};
  // The first piece with zlib's own header; the others raw, to continue its deflate data.
  bool first = dictionary.empty();
  if (deflateInit2(&z, level, Z_DEFLATED, first ? 15 : -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw BuildError("zlib compression failed");
  struct End {
    z_stream* z;
    ~End() { deflateEnd(z); }
  } end{&z};
  if (!first && deflateSetDictionary(&z, dictionary.data(), static_cast<uInt>(dictionary.size())) != Z_OK)
    throw BuildError("zlib compression failed");
  std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(piece.size())) + 16);
  z.next_in = const_cast<Bytef*>(piece.data());
  z.avail_in = static_cast<uInt>(piece.size());
  for (;;) {
    z.next_out = out.data() + z.total_out;
    z.avail_out = static_cast<uInt>(out.size() - z.total_out);
    int rc = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) throw BuildError("zlib compression failed");
    if (z.avail_out != 0 && (last ? rc == Z_STREAM_END : z.avail_in == 0)) break;
    out.resize(out.size() * 2);  // a flush that did not fit
  }
  out.resize(z.total_out);
  return out;
}

void AppendAdlerTrailer(std::vector<uint8_t>& out, uint32_t adler) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(adler >> shift));
}

namespace {

// Four samples of 16 KiB cost a few percent of a 1 MiB piece at level 1 and
// see structure up to that distance; a piece that saves less than 1/32 there
// is not worth deflate's search at any level.
constexpr size_t kTrialSample = 16 * 1024;
constexpr size_t kTrialSamples = 4;
constexpr size_t kMaxStoredBlock = 65535;

}  // namespace

bool WorthDeflating(std::span<const uint8_t> data) {
  if (data.size() <= kTrialSample * kTrialSamples) return true;
  z_stream z{};
  if (deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw BuildError("zlib compression failed");
  auto end = [](z_stream* s) { deflateEnd(s); };
  std::unique_ptr<z_stream, decltype(end)> guard(&z, end);
  std::vector<uint8_t> out(deflateBound(&z, kTrialSample));
  uint64_t packed = 0;
  for (size_t i = 0; i < kTrialSamples; ++i) {
    if (deflateReset(&z) != Z_OK) throw BuildError("zlib compression failed");
    z.next_in = const_cast<Bytef*>(data.data() + (data.size() - kTrialSample) / (kTrialSamples - 1) * i);
    z.avail_in = kTrialSample;
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw BuildError("zlib compression failed");
    packed += z.total_out;
  }
  return packed * 32 < kTrialSample * kTrialSamples * 31;
}

std::vector<uint8_t> StoreZlibPiece(std::span<const uint8_t> piece, bool first, bool last) {
  std::vector<uint8_t> out;
  out.reserve(piece.size() + (piece.size() / kMaxStoredBlock + 1) * 5 + 6);
  if (first) out.insert(out.end(), {0x78, 0x01});  // deflate with a 32 KiB window; its check bits
  size_t at = 0;
  do {
    size_t n = std::min(kMaxStoredBlock, piece.size() - at);
    // Each block starts on a byte, as the previous piece ends on one: BFINAL, type 00, padding.
    out.push_back(last && at + n == piece.size() ? 1 : 0);
    for (size_t v : {n, ~n}) out.insert(out.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    out.insert(out.end(), piece.begin() + static_cast<ptrdiff_t>(at), piece.begin() + static_cast<ptrdiff_t>(at + n));
    at += n;
  } while (at < piece.size());
  if (first && last)
    AppendAdlerTrailer(out, static_cast<uint32_t>(adler32(1, piece.data(), static_cast<uInt>(piece.size()))));
  return out;
}

struct Bzip2Stream::State {
  bz_stream bz{};
  std::vector<char> buffer = std::vector<char>(1 << 16);
};

Bzip2Stream::Bzip2Stream() : state_(new State) {
  if (BZ2_bzCompressInit(&state_->bz, 9, 0, 0) != BZ_OK) {
    delete state_;
    throw BuildError("bzip2 compression failed");
  }
}

Bzip2Stream::~Bzip2Stream() {
  BZ2_bzCompressEnd(&state_->bz);
  delete state_;
}

void Bzip2Stream::Add(std::span<const uint8_t> in, bool last,
                      const std::function<void(std::span<const uint8_t>)>& out) {
  bz_stream& bz = state_->bz;
  bz.next_in = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
  bz.avail_in = static_cast<unsigned>(in.size());
  for (;;) {
    bz.next_out = state_->buffer.data();
    bz.avail_out = static_cast<unsigned>(state_->buffer.size());
    int rc = BZ2_bzCompress(&bz, last ? BZ_FINISH : BZ_RUN);
    if (rc != BZ_RUN_OK && rc != BZ_FINISH_OK && rc != BZ_STREAM_END) throw BuildError("bzip2 compression failed");
    size_t n = state_->buffer.size() - bz.avail_out;
    if (n) out({reinterpret_cast<const uint8_t*>(state_->buffer.data()), n});
    if (last ? rc == BZ_STREAM_END : bz.avail_in == 0) return;
  }
}

void ParallelForOrdered(size_t count, unsigned threads, const std::function<void(size_t)>& job,
                        const std::function<void(size_t)>& done, size_t ahead) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex m;
  std::condition_variable cv;
  std::vector<char> ready(count, 0);
  size_t oldest = 0;  // the first index not yet done
  std::exception_ptr error;
  auto worker = [&] {
    for (;;) {
      size_t i = next.fetch_add(1);
      if (i >= count || failed) return;
      if (ahead != SIZE_MAX) {
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return i < oldest + ahead || failed; });
        if (failed) return;
      }
      try {
        job(i);
      } catch (...) {
        std::lock_guard lock(m);
        if (!error) error = std::current_exception();
        failed = true;
      }
      {
        std::lock_guard lock(m);
        ready[i] = 1;
      }
      cv.notify_all();
    }
  };
  std::vector<std::thread> pool;
  for (unsigned t = 0; t < std::min<size_t>(threads, count); ++t) pool.emplace_back(worker);
  std::exception_ptr doneError;
  for (size_t i = 0; i < count && !doneError; ++i) {
    std::unique_lock lock(m);
    cv.wait(lock, [&] { return ready[i] || failed; });
    if (failed) break;
    lock.unlock();
    try {
      done(i);
    } catch (...) {
      doneError = std::current_exception();
      failed = true;
    }
    {
      std::lock_guard lock(m);
      oldest = i + 1;
    }
    cv.notify_all();
  }
  for (auto& t : pool) t.join();
  if (error) std::rethrow_exception(error);
  if (doneError) std::rethrow_exception(doneError);
}

}  // namespace wrenly::builder
