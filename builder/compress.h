// Compression of block payloads and DataArea entries, and the pool that
// compresses entries on every core.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "builder/project.h"

namespace wrenly::builder {

std::vector<uint8_t> CompressZlib(std::span<const uint8_t> data, int level);
std::vector<uint8_t> CompressBzip2(std::span<const uint8_t> data, int blockSize100k);

// The bytes of a large file go through zlib in pieces of this size, each on
// any core: a piece starts from the previous 32 KiB as its dictionary and ends
// with a sync flush, the last with the stream's end. A file up to this size,
// deflated, comes out exactly as one whole compress2() call would write it.
inline constexpr size_t kZlibPiece = 1 << 20;
inline constexpr size_t kZlibWindow = 32 * 1024;

// One piece of a zlib stream. `dictionary`: the input just before the piece
// (empty for the first); the first piece carries the stream header, the last
// (`last`) the end; a stream in several pieces needs AdlerTrailer after the last.
std::vector<uint8_t> CompressZlibPiece(std::span<const uint8_t> dictionary, std::span<const uint8_t> piece, bool last,
                                       int level);
void AppendAdlerTrailer(std::vector<uint8_t>& out, uint32_t adler);

// LZMA: a file of up to kLzmaInMemory bytes is compressed whole on any core,
// with the smallest dictionary that covers it; a larger one streams through
// one encoder with the whole kLzmaDictionary, so nothing restarts (a 9.6 MB
// DLL: 1.26 MB as one stream with 8 MiB, 1.67 MB in 8 MiB parts with 4 MiB).
// An encoder takes about 11 bytes per dictionary byte (hash and binary tree:
// 93 MiB for 8 MiB), so encoders run side by side only within the build's
// memory (LzmaEncoderMemory); the Installer allocates the dictionary.
inline constexpr uint32_t kLzmaDictionary = 8 << 20;
inline constexpr uint64_t kLzmaInMemory = 4 << 20;

// What an encoder for dictionary property `dictionary` allocates.
size_t LzmaEncoderMemory(uint8_t dictionary);

// The smallest dictionary property covering a file of `size` bytes, at most kLzmaDictionary.
uint8_t LzmaDictionaryProperty(uint64_t size);

// Whether the x86 filter helps a file starting with `head`: a PE program for i386 or AMD64.
bool TakesX86Filter(const std::vector<uint8_t>& head);

// The x86 filter runs over the whole file, a part at a time in order: what
// one call decided past its part's end passes to the next.
struct X86Carry {
  uint64_t resume = 0;  // the filter goes on here; bytes before it are final
  uint32_t state = 0;
  std::array<uint8_t, 4> ahead{};  // final bytes from the next part's start up to resume
  size_t aheadCount = 0;
};
// `bytes`: the file from offset `at`, a part of `length` bytes and the 4
// after it (fewer at the file's end), filtered in place up to the part's end.
void FilterX86(std::span<uint8_t> bytes, uint64_t at, size_t length, X86Carry& carry);

// `data`, through the x86 filter when `filter` says so, as LZMA2 chunks up to
// the end marker. `level` 1..9.
std::vector<uint8_t> CompressLzma(std::vector<uint8_t> data, uint8_t filter, uint8_t dictionary, int level);

// `part` of a file as LZMA2's stored chunks, the first resetting the
// dictionary when `first`, the end marker after them when `last`.
std::vector<uint8_t> StoredLzmaChunks(std::span<const uint8_t> part, bool first, bool last);

// `data` as a whole LZMA stream: its head (`filter`, the dictionary that
// covers it) and its chunks.
std::vector<uint8_t> CompressLzmaWhole(std::span<const uint8_t> data, uint8_t filter, int level);

// One LZMA2 stream, chunks and end marker, over the `size` bytes that `read` gives a
// part at a time (it fills at most `capacity` bytes and returns how many, 0 at
// the end); what comes out goes to `write`. Exceptions of both pass through.
void CompressLzmaStream(uint8_t dictionary, int level, uint64_t size,
                        const std::function<size_t(uint8_t*, size_t)>& read,
                        const std::function<void(std::span<const uint8_t>)>& write);

// Data that deflate would not shrink goes into stored blocks: the build skips
// the search and the install copies at the speed of reading.
//
// Whether deflating `data` is worth its search: a fast trial of a few samples,
// never a whole compression. Small data is always worth it (deflate stores
// what it cannot shrink by itself, and costs little there).
bool WorthDeflating(std::span<const uint8_t> data);

// `piece` in stored deflate blocks, framed as CompressZlibPiece frames it:
// the zlib header when `first`, the final block when `last`, the Adler-32
// when both. The pieces of one stream may mix both kinds.
std::vector<uint8_t> StoreZlibPiece(std::span<const uint8_t> piece, bool first, bool last);

// A bzip2 stream written piece by piece, so a file of any size passes through.
class Bzip2Stream {
 public:
  Bzip2Stream();
  ~Bzip2Stream();
  Bzip2Stream(const Bzip2Stream&) = delete;
  Bzip2Stream& operator=(const Bzip2Stream&) = delete;
  // Compresses `in` (the end of the data when `last`); calls `out` with what comes out.
  void Add(std::span<const uint8_t> in, bool last, const std::function<void(std::span<const uint8_t>)>& out);

 private:
  struct State;
  State* state_;
};

// Runs job(i) for i in [0, count) on `threads` threads (0: one per core);
// jobs start in index order. `done(i)` runs on the calling thread in index
// order as results become ready. No job starts more than `ahead` places past
// the oldest one not yet done, which bounds the results held at once. The
// first exception is rethrown.
void ParallelForOrdered(size_t count, unsigned threads, const std::function<void(size_t)>& job,
                        const std::function<void(size_t)>& done, size_t ahead = SIZE_MAX);

}  // namespace wrenly::builder
