// Inspect with verification on arbitrary bytes, the program before the
// signature read as the tool reads it: whatever the file holds, the reader
// must answer with a result, never crash or read out of bounds, and its JSON
// document must parse.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "builder/stub_methods.h"
#include "reader/reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A memory-backed folder when there is one: writing to disk dominated a run.
  static const std::filesystem::path folder =
      std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
  static const std::string path = (folder / ("wrenly-fuzz-" + std::to_string(getpid()) + ".exe")).string();
  [[maybe_unused]] static const int removed = std::atexit([] { std::remove(path.c_str()); });
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
  std::ostringstream out, err;
  const auto decoders = wrenly::builder::ImageDecoders;
  wrenly::inspector::Inspect(path, {.verify = true, .stubDecoders = decoders}, out, err);
  std::ostringstream json;
  wrenly::inspector::Inspect(path, {.verify = true, .json = true, .stubDecoders = decoders}, json, err);
  if (!nlohmann::json::accept(json.str())) std::abort();
  return 0;
}
