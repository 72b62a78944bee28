// Reading side of the tools: print a package, verify its data, extract the
// files of one installation type. Every function is safe on damaged input
// and reports problems on `err` with a result other than kSound.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

namespace wrenly::inspector {

// How a reading went; the command maps these to its exit codes.
enum ReadResult : int {
  kSound = 0,
  kUnreadable,   // the file cannot be opened or read
  kBadRequest,   // asked for something the package does not have (an install type)
  kDamaged,      // not a setup program, or its package (or a volume) is damaged
  kCannotWrite,  // extract: a file or folder cannot be written
};

struct InspectOptions {
  bool verify = false;       // decompress every entry and check size and checksum
  size_t maxTextChars = 60;  // message texts are cut after this many characters; 0 = whole
  bool json = false;         // one JSON document on `out` instead of text (texts whole)
  // The decoders (StubMethodBits) of the Installer image before the
  // signature, when the caller can tell; the reader knows no program format.
  std::function<std::optional<uint32_t>(const std::vector<uint8_t>& image)> stubDecoders;
};

// Prints blocks, install types, file tables, DataArea and volumes; on an
// installed uninstaller, its texts and plan.
ReadResult Inspect(const std::filesystem::path& setup, const InspectOptions& options, std::ostream& out,
                   std::ostream& err);

// Writes the files of one install type below `dir`, listing on `out` each
// file written and each not written. `type` names it as the command line
// does: its number, counted from 1, or its name; "" is the first.
ReadResult Extract(const std::filesystem::path& setup, const std::filesystem::path& dir, std::string_view type,
                   std::ostream& out, std::ostream& err);
// The same for the type at `index` of the package, from 0.
ReadResult Extract(const std::filesystem::path& setup, const std::filesystem::path& dir, size_t index,
                   std::ostream& out, std::ostream& err);

}  // namespace wrenly::inspector
