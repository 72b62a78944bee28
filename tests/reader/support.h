// Shared bits of the inspector tests: a scratch folder per test and the two
// entry points with captured output.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "package_writer.h"
#include "reader/reader.h"

namespace fs = std::filesystem;

struct Outcome { int code; std::string out, err; };

// Emptied on each call; ctest runs every test in a process of its own.
inline fs::path ScratchDir() {
  fs::path d = fs::temp_directory_path() / ("wrenly-insp-" + std::to_string(getpid()));
  fs::remove_all(d);
  fs::create_directories(d);
  return d;
}

inline Outcome InspectFile(const fs::path& p, bool verify, size_t maxTextChars = 60) {
  std::ostringstream out, err;
  int code = wrenly::inspector::Inspect(p, {.verify = verify, .maxTextChars = maxTextChars}, out, err);
  return {code, out.str(), err.str()};
}

inline Outcome ExtractFile(const fs::path& p, const fs::path& dir, int type) {
  std::ostringstream out, err;
  int code = wrenly::inspector::Extract(p, dir, type, out, err);
  return {code, out.str(), err.str()};
}

inline std::string ReadAll(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
