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

// Runs job(i) for i in [0, count) on `threads` threads (0: one per core);
// jobs start in index order. `done(i)` runs on the calling thread in index
// order as results become ready. The first exception is rethrown.
void ParallelForOrdered(size_t count, unsigned threads, const std::function<void(size_t)>& job,
                        const std::function<void(size_t)>& done);

}  // namespace wrenly::builder
