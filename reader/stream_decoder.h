// Incremental zlib / bzip2 / LZMA decoder. Input arrives in pieces; output goes to a
// sink in pieces, so no caller has to hold a whole stream.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace wrenly::inspector {

using Sink = std::function<void(const uint8_t* data, size_t size)>;

class StreamDecoder {
 public:
  // Throws Damaged for an unknown method. `maxOutput` bounds what a sound
  // stream gives: LZMA's dictionary is no larger than that.
  explicit StreamDecoder(uint8_t method, uint64_t maxOutput = UINT64_MAX);
  ~StreamDecoder();
  StreamDecoder(const StreamDecoder&) = delete;
  StreamDecoder& operator=(const StreamDecoder&) = delete;

  // Decodes one piece of input. Throws Damaged on a bad stream and when input
  // remains after the stream's end (a package never carries such bytes).
  void Feed(const uint8_t* data, size_t size, const Sink& sink);
  bool finished() const { return finished_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  bool finished_ = false;
};

const char* MethodName(uint8_t method);
// The method names of StubMethodBits, in method order.
std::vector<const char*> DecoderNames(uint32_t stubBits);

}  // namespace wrenly::inspector
