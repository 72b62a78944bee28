// Compression of block payloads and DataArea entries, and the pool that
// compresses entries on every core.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "builder/project.h"

namespace wrenly::builder {

std::vector<uint8_t> CompressZlib(std::span<const uint8_t> data, int level);
std::vector<uint8_t> CompressBzip2(std::span<const uint8_t> data, int blockSize100k);

// Method byte followed by the stream: one DataArea entry.
std::vector<uint8_t> CompressEntry(std::span<const uint8_t> data, Compression method, int level);

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
