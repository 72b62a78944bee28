// What `wrenly build` tells while it works: progress by bytes (one line
// redrawn in place on a terminal, a plain line every tenth in a log), each
// entry as it is stored when verbose, and the closing summary.
#pragma once
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "builder/package_writer.h"
#include "builder/project.h"

namespace wrenly::builder {

enum class Verbosity { kQuiet, kNormal, kVerbose };

// 999 B, 1.5 kB, 12.3 MB, 4.1 GB (powers of 1000).
std::string HumanBytes(uint64_t bytes);
// 0.4 s, 12 s, 3 min 5 s, 2 h 7 min.
std::string HumanSeconds(double seconds);

struct BuildTotals {
  std::filesystem::path output;
  size_t volumes = 0;
  size_t files = 0;  // distinct source files
  uint64_t inputBytes = 0, outputBytes = 0;
  // The sources' stored data, each copy once, and the bytes it holds; the
  // rest of the output is the Installer: stub, uninstaller and blocks.
  uint64_t payloadBytes = 0, packedBytes = 0;
  size_t sharedEntries = 0;  // entries that point at another's copy
  // The Installer image taken, the decoders it holds and those the package uses.
  std::string image, imageDecoders, usedDecoders;
};

class BuildReport {
 public:
  using Clock = std::chrono::steady_clock;
  BuildReport(std::ostream& out, Verbosity verbosity, bool terminal, Clock::time_point start = Clock::now());
  ~BuildReport();
  BuildReport(const BuildReport&) = delete;
  BuildReport& operator=(const BuildReport&) = delete;

  void Start(size_t files, uint64_t totalBytes, Clock::time_point now = Clock::now());
  void Progress(uint64_t bytesDone, Clock::time_point now = Clock::now());
  void Stored(const FileItem& item, const StoredData& data);
  void Finish(const BuildTotals& totals, Clock::time_point now = Clock::now());

 private:
  std::string ProgressText(uint64_t done, double seconds) const;
  void EraseLine();

  std::ostream& out_;
  Verbosity verbosity_;
  bool terminal_;
  Clock::time_point start_, compressionStart_, lastDrawn_;
  uint64_t total_ = 0, done_ = 0;
  int nextTenth_ = 1;
  bool lineShown_ = false;
};

}  // namespace wrenly::builder
