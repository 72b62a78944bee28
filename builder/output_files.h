// The files a build writes: each under a temporary name in its own folder,
// renamed to its real name only when the whole build has succeeded.
#pragma once
#include <cstdio>
#include <filesystem>
#include <vector>

namespace wrenly::builder {

// SIGINT, SIGTERM and SIGHUP only set a flag; long loops call
// ThrowIfInterrupted, and the unwinding removes the temporary files. SIGPIPE
// is ignored.
void CatchInterrupts();
int InterruptSignal();  // 0 while no signal came
void ThrowIfInterrupted();

class OutputFiles {
 public:
  // `inputs`: files the build reads, which no output may replace.
  explicit OutputFiles(std::vector<std::filesystem::path> inputs);
  ~OutputFiles();  // removes what was not committed
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  // Refuses a path that is an input, a folder or not a regular file, then
  // opens a new temporary file beside it.
  std::FILE* Create(const std::filesystem::path& path);
  // A file for the build's own use beside `path`, opened for update and never kept.
  std::FILE* Scratch(const std::filesystem::path& path);
  // Closes a file Create opened and gives its temporary name, for a command
  // to read; Commit still renames it.
  std::filesystem::path Close(std::FILE* stream);
  // A temporary name beside `path` that no file has, for a command to
  // write; never kept.
  std::filesystem::path Name(const std::filesystem::path& path);
  // Closes every file and gives each its name; the first one created last.
  void Commit();

 private:
  std::FILE* Open(const std::filesystem::path& path, bool readBack, bool keep);
  std::filesystem::path TempName(const std::filesystem::path& path, int n) const;
  bool Taken(const std::filesystem::path& temp) const;  // a name already handed out
  struct File {
    std::filesystem::path temp, path;  // path: empty for a scratch file
    std::FILE* stream;
  };
  std::vector<std::filesystem::path> inputs_;
  std::vector<File> files_;
};

// A new file opened for writing (and reading back), null with errno when a
// file of that name exists or it cannot be made.
std::FILE* OpenNewFile(const std::filesystem::path& path, bool readBack);

// Writes all of `n` bytes or throws naming `path`.
void WriteOut(std::FILE* out, const void* data, size_t n, const std::filesystem::path& path);

}  // namespace wrenly::builder
