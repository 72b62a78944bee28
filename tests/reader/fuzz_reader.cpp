// Inspect with verification on arbitrary bytes: whatever the file holds, the
// reader must answer with a result, never crash or read out of bounds.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "reader/reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("wrenly-fuzz-" + std::to_string(getpid()) + ".exe")).string();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
  std::ostringstream out, err;
  wrenly::inspector::Inspect(path, {.verify = true}, out, err);
  return 0;
}
