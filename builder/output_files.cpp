#include "builder/output_files.h"

#include <fmt/format.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "builder/error.h"
#include "builder/utf8_path.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#define WRENLY_GETPID _getpid
#else
#include <unistd.h>
#define WRENLY_GETPID getpid
#endif

namespace wrenly::builder {
namespace fs = std::filesystem;

namespace {
volatile std::sig_atomic_t caught = 0;
extern "C" void OnInterrupt(int signal) {
  caught = signal;
#ifdef _WIN32
  // Windows' C runtime restores the default for the next signal: a second
  // Ctrl-C would end the build before it removed its files.
  std::signal(signal, OnInterrupt);
#endif
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec) && !ec;
}
}  // namespace

void CatchInterrupts() {
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
#ifndef _WIN32
  std::signal(SIGHUP, OnInterrupt);  // the terminal closed
  // A reader of the log that went away must not end the build before it has
  // removed its files: the failed write only stops that stream's printing.
  std::signal(SIGPIPE, SIG_IGN);
#endif
}

int InterruptSignal() { return caught; }

void ThrowIfInterrupted() {
  if (caught) throw BuildError(caught == SIGINT ? "interrupted" : "terminated");
}

OutputFiles::OutputFiles(std::vector<fs::path> inputs) : inputs_(std::move(inputs)) {}

OutputFiles::~OutputFiles() {
  for (auto& f : files_) {
    if (f.stream) std::fclose(f.stream);
    std::error_code ec;
    fs::remove(f.temp, ec);
  }
}

std::FILE* OutputFiles::Create(const fs::path& path) {
  std::error_code ec;
  fs::file_status status = fs::status(path, ec);
  if (fs::is_directory(status))
    throw BuildError(fmt::format("{}: the output is a folder", Utf8(path)), Failure::Output);
  if (fs::exists(status) && !fs::is_regular_file(status))
    throw BuildError(fmt::format("{}: the output is not a regular file", Utf8(path)), Failure::Output);
  for (const auto& input : inputs_)
    if (SameFile(path, input))
      throw BuildError(fmt::format("{}: the output would replace an input of the build", Utf8(path)), Failure::Output);
  return Open(path, false, true);
}

std::FILE* OutputFiles::Scratch(const fs::path& path) { return Open(path, true, false); }

// Beside the real name, so that the rename stays on one file system, and
// with its extension, as some signing tools tell a program by its name.
fs::path OutputFiles::TempName(const fs::path& path, int n) const {
  fs::path temp = path;
  return temp.replace_filename(
      PathFromUtf8(fmt::format("{}.{}-{}.tmp{}", Utf8(path.stem()), WRENLY_GETPID(), n, Utf8(path.extension()))));
}

bool OutputFiles::Taken(const fs::path& temp) const {
  for (const auto& f : files_)
    if (f.temp == temp) return true;
  return false;
}

fs::path OutputFiles::Close(std::FILE* stream) {
  for (auto& f : files_) {
    if (f.stream != stream) continue;
    f.stream = nullptr;
    if (std::fclose(stream) != 0)
      throw BuildError(fmt::format("{}: writing failed ({})", Utf8(f.path), std::strerror(errno)), Failure::Output);
    return f.temp;
  }
  throw std::logic_error("OutputFiles::Close: not one of ours");
}

fs::path OutputFiles::Name(const fs::path& path) {
  for (int n = 0;; ++n) {
    fs::path temp = TempName(path, n);
    std::error_code ec;
    if (Taken(temp) || fs::exists(fs::symlink_status(temp, ec))) continue;
    files_.push_back(File{temp, fs::path(), nullptr});
    return temp;
  }
}

std::FILE* OutputFiles::Open(const fs::path& path, bool readBack, bool keep) {
  for (int n = 0;; ++n) {
    fs::path temp = TempName(path, n);
    if (Taken(temp)) continue;
    errno = 0;
    std::FILE* stream = OpenNewFile(temp, readBack);
    if (stream) {
      files_.push_back(File{temp, keep ? path : fs::path(), stream});
      return stream;
    }
    if (errno != EEXIST || n > 100)
      throw BuildError(fmt::format("{}: cannot write in this folder ({})", Utf8(path), std::strerror(errno)),
                       Failure::Output);
  }
}

void OutputFiles::Commit() {
  for (auto& f : files_) {
    if (!f.stream) continue;
    int rc = std::fclose(f.stream);
    f.stream = nullptr;
    if (rc != 0)
      throw BuildError(fmt::format("{}: writing failed ({})", Utf8(f.path), std::strerror(errno)), Failure::Output);
  }
  ThrowIfInterrupted();
  // The setup program last: it does not appear before its volumes.
  for (size_t i = files_.size(); i-- > 0;) {
    std::error_code ec;
    if (files_[i].path.empty()) {
      fs::remove(files_[i].temp, ec);
      continue;
    }
    fs::rename(files_[i].temp, files_[i].path, ec);
    if (ec)
      throw BuildError(fmt::format("{}: cannot be written ({})", Utf8(files_[i].path), ec.message()), Failure::Output);
  }
  files_.clear();
}

// Windows' C runtime knows no "x" mode, and its narrow names are ANSI.
std::FILE* OpenNewFile(const fs::path& path, bool readBack) {
#ifdef _WIN32
  int fd =
      _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_BINARY | (readBack ? _O_RDWR : _O_WRONLY), _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* stream = _fdopen(fd, readBack ? "w+b" : "wb");
  if (!stream) _close(fd);
  return stream;
#else
  return std::fopen(path.c_str(), readBack ? "w+bx" : "wbx");
#endif
}

void WriteOut(std::FILE* out, const void* data, size_t n, const fs::path& path) {
  if (n && std::fwrite(data, 1, n, out) != n)
    throw BuildError(fmt::format("{}: writing failed ({})", Utf8(path), std::strerror(errno)), Failure::Output);
}

}  // namespace wrenly::builder
