// Inspect with verification on arbitrary bytes: whatever the file holds, the
// reader must answer with a result, never crash or read out of bounds.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "reader/reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("wrenly-fuzz-" + std::to_string(getpid()) + ".exe")).string();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  std::ostringstream out, err;
  wrenly::inspector::Inspect(path, {.verify = true}, out, err);
  return 0;
}
