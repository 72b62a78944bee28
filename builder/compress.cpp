#include "builder/compress.h"

#include <atomic>
#include <bzlib.h>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <zlib.h>
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

std::vector<uint8_t> CompressEntry(std::span<const uint8_t> data, Compression method, int level) {
  std::vector<uint8_t> stream = method == Compression::kBzip2 ? CompressBzip2(data, 9) : CompressZlib(data, level);
  std::vector<uint8_t> out;
  out.reserve(stream.size() + 1);
  out.push_back(method == Compression::kBzip2 ? format::kMethodBzip2 : format::kMethodZlib);
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}

void ParallelForOrdered(size_t count, unsigned threads, const std::function<void(size_t)>& job,
                        const std::function<void(size_t)>& done) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex m;
  std::condition_variable cv;
  std::vector<char> ready(count, 0);
  std::exception_ptr error;
  auto worker = [&] {
    for (;;) {
      size_t i = next.fetch_add(1);
      if (i >= count || failed) return;
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
  }
  for (auto& t : pool) t.join();
  if (error) std::rethrow_exception(error);
  if (doneError) std::rethrow_exception(doneError);
}

}  // namespace wrenly::builder
