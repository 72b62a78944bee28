#include "builder/build_report.h"

#include <fmt/format.h>

#include "builder/utf8_path.h"
#include "format/file_entry.h"

namespace wrenly::builder {
namespace f = wrenly::format;

namespace {

// A terminal line is redrawn at most this often; a log gets one line per tenth.
constexpr auto kRedraw = std::chrono::milliseconds(100);
constexpr char kEraseLine[] = "\r\033[K";

double Seconds(BuildReport::Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string Files(size_t n) { return fmt::format("{} file{}", n, n == 1 ? "" : "s"); }

}  // namespace

std::string HumanBytes(uint64_t bytes) {
  static constexpr const char* kUnits[] = {"kB", "MB", "GB", "TB"};
  if (bytes < 1000) return fmt::format("{} B", bytes);
  double value = static_cast<double>(bytes);
  size_t unit = 0;
  for (value /= 1000; value >= 999.95 && unit + 1 < std::size(kUnits); value /= 1000) ++unit;
  return fmt::format("{:.{}f} {}", value, value < 99.95 ? 1 : 0, kUnits[unit]);
}

std::string HumanSeconds(double seconds) {
  if (seconds < 9.95) return fmt::format("{:.1f} s", seconds);
  auto s = static_cast<uint64_t>(seconds + 0.5);
  if (s < 60) return fmt::format("{} s", s);
  if (s < 3600) return fmt::format("{} min {} s", s / 60, s % 60);
  return fmt::format("{} h {} min", s / 3600, s % 3600 / 60);
}

BuildReport::BuildReport(std::ostream& out, Verbosity verbosity, bool terminal, Clock::time_point start)
    : out_(out), verbosity_(verbosity), terminal_(terminal), start_(start), compressionStart_(start) {}

BuildReport::~BuildReport() {
  // An error printed next is to start a line of its own.
  if (lineShown_) out_ << "\n" << std::flush;
}

void BuildReport::Start(size_t files, uint64_t totalBytes, Clock::time_point now) {
  total_ = totalBytes;
  compressionStart_ = lastDrawn_ = now;
  if (verbosity_ == Verbosity::kQuiet) return;
  if (terminal_) {
    Progress(0, now);
    return;
  }
  out_ << fmt::format("compressing {}, {}\n", Files(files), HumanBytes(totalBytes)) << std::flush;
}

std::string BuildReport::ProgressText(uint64_t done, double seconds) const {
  int percent = total_ ? static_cast<int>(done * 100 / total_) : 100;
  std::string text = fmt::format("compressing {:3d} % ({} of {})", percent, HumanBytes(done), HumanBytes(total_));
  // The first moments give no useful rate.
  if (seconds < 0.2 || done == 0) return text;
  double rate = static_cast<double>(done) / seconds;
  text += fmt::format(", {}/s", HumanBytes(static_cast<uint64_t>(rate)));
  if (done < total_) text += fmt::format(", {} left", HumanSeconds(static_cast<double>(total_ - done) / rate));
  return text;
}

void BuildReport::Progress(uint64_t bytesDone, Clock::time_point now) {
  if (verbosity_ == Verbosity::kQuiet) return;
  double seconds = Seconds(now - compressionStart_);
  if (terminal_) {
    if (lineShown_ && now - lastDrawn_ < kRedraw && bytesDone < total_) return;
    lastDrawn_ = now;
    out_ << kEraseLine << ProgressText(bytesDone, seconds) << std::flush;
    lineShown_ = true;
    return;
  }
  int percent = total_ ? static_cast<int>(bytesDone * 100 / total_) : 100;
  if (percent < nextTenth_ * 10) return;
  nextTenth_ = percent / 10 + 1;
  out_ << ProgressText(bytesDone, seconds) << "\n" << std::flush;
}

void BuildReport::EraseLine() {
  if (!lineShown_) return;
  out_ << kEraseLine;
  lineShown_ = false;
}

void BuildReport::Stored(const FileItem& item, const StoredData& data) {
  if (verbosity_ != Verbosity::kVerbose) return;
  EraseLine();
  if (item.flags & (f::kFlagFolder | f::kFlagSourceFolder)) {
    out_ << fmt::format("  {}: folder\n", item.shownName);
    return;
  }
  if (data.copyOf) {
    out_ << fmt::format("  {}: {} bytes, the data of {}\n", item.shownName, data.size, data.copyOf->shownName)
         << std::flush;
    return;
  }
  std::string method =
      !data.packed ? "stored"
      : data.method == Compression::kBzip2
          ? "bzip2"
          : fmt::format("{} level {}", data.method == Compression::kLzma ? "lzma" : "zlib", item.level);
  out_ << fmt::format("  {}: {} -> {} bytes, {}\n", item.shownName, data.size, data.stored, method) << std::flush;
}

void BuildReport::Finish(const BuildTotals& totals, Clock::time_point now) {
  EraseLine();
  if (verbosity_ == Verbosity::kQuiet) return;
  double seconds = Seconds(now - start_);
  std::string volumes = totals.volumes ? fmt::format(" + {} volumes", totals.volumes) : "";
  // A tiny product in a setup program of 141 kB says nothing about compression as one ratio.
  std::string payload;
  if (totals.packedBytes) {
    payload = fmt::format("payload {}, {:.0f} %", HumanBytes(totals.payloadBytes),
                          100.0 * static_cast<double>(totals.payloadBytes) / static_cast<double>(totals.packedBytes));
    if (totals.sharedEntries)
      payload +=
          fmt::format(", {} entr{} sharing a copy", totals.sharedEntries, totals.sharedEntries == 1 ? "y" : "ies");
    payload += "; ";
  }
  std::string shares = fmt::format(" ({}Installer {}{})", payload, HumanBytes(totals.outputBytes - totals.payloadBytes),
                                   totals.image.empty() ? "" : ", " + totals.image);
  if (verbosity_ == Verbosity::kVerbose && !totals.image.empty())
    out_ << fmt::format("Installer image {}: {}; the package uses {}\n", totals.image, totals.imageDecoders,
                        totals.usedDecoders);
  std::string rate =
      seconds > 0 ? HumanBytes(static_cast<uint64_t>(static_cast<double>(totals.inputBytes) / seconds)) : "-";
  out_ << fmt::format("wrote {}{}: {}, {} in, {} out{}, {}, {}/s\n", Utf8(totals.output), volumes, Files(totals.files),
                      HumanBytes(totals.inputBytes), HumanBytes(totals.outputBytes), shares, HumanSeconds(seconds),
                      rate)
       << std::flush;
}

}  // namespace wrenly::builder
