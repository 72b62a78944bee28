// The inspector's two entry points with captured output.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "package_writer.h"
#include "reader/reader.h"

namespace fs = std::filesystem;

struct Outcome {
  int code;
  std::string out, err;
};

inline Outcome InspectFile(const fs::path& p, bool verify, size_t maxTextChars = 60, bool json = false) {
  std::ostringstream out, err;
  int code = wrenly::inspector::Inspect(p, {verify, maxTextChars, json}, out, err);
  return {code, out.str(), err.str()};
}

// The JSON document, which must parse whatever the file holds.
inline nlohmann::json InspectJson(const fs::path& p, bool verify, int* code = nullptr) {
  Outcome r = InspectFile(p, verify, 0, true);
  if (code) *code = r.code;
  nlohmann::json doc = nlohmann::json::parse(r.out, nullptr, false);
  EXPECT_FALSE(doc.is_discarded()) << r.out;
  return doc;
}

// `type` as the command line names it: a number from 1 or a name.
inline Outcome ExtractFile(const fs::path& p, const fs::path& dir, const std::string& type = "1") {
  std::ostringstream out, err;
  int code = wrenly::inspector::Extract(p, dir, type, out, err);
  return {code, out.str(), err.str()};
}
