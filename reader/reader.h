// Reading side of the tools: print a package, verify its data, extract the
// files of one installation type. Every function is safe on damaged input
// and reports problems on `err` with a non-zero result.
#pragma once
#include <cstddef>
#include <filesystem>
#include <ostream>

namespace wrenly::inspector {

struct InspectOptions {
  bool verify = false;  // decompress every entry and check size and checksum
  size_t maxTextChars = 60;  // message texts are cut after this many characters; 0 = whole
};

// Prints blocks, install types, file tables, DataArea and volumes. Returns
// the process exit code: 0 when the package is sound.
int Inspect(const std::filesystem::path& setup, const InspectOptions& options, std::ostream& out,
            std::ostream& err);

// Writes the files of install type `installType` (0-based) below `dir`.
int Extract(const std::filesystem::path& setup, const std::filesystem::path& dir, int installType,
            std::ostream& out, std::ostream& err);

}  // namespace wrenly::inspector
