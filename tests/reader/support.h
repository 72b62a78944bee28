// The inspector's two entry points with captured output.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "package_writer.h"
#include "reader/reader.h"

namespace fs = std::filesystem;

struct Outcome { int code; std::string out, err; };

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
