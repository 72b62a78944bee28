// Errors of a build: every one names where the author has to look.
#pragma once
#include <stdexcept>
#include <string>

namespace wrenly::builder {

// A place in an input file; line 0 when the problem is the whole file.
struct Where {
  std::string file;
  int line = 0;
};

// What went wrong decides the exit code, so that a pipeline can tell a
// project to fix from a disk to free or a signing service to retry.
enum class Failure { Input, Output, Signing };

// "file:line: text", as compilers write it, so that editors jump to the place.
inline std::string AtPlace(const Where& w, const std::string& text) {
  if (w.file.empty()) return text;
  if (w.line <= 0) return w.file + ": " + text;
  return w.file + ":" + std::to_string(w.line) + ": " + text;
}

class BuildError : public std::runtime_error {
 public:
  BuildError(const Where& where, const std::string& what, Failure failure = Failure::Input)
      : std::runtime_error(AtPlace(where, what)), where_(where), failure_(failure) {}
  explicit BuildError(const std::string& what, Failure failure = Failure::Input)
      : std::runtime_error(what), failure_(failure) {}
  const Where& where() const { return where_; }
  Failure failure() const { return failure_; }

 private:
  Where where_;
  Failure failure_;
};

}  // namespace wrenly::builder
