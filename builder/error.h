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

class BuildError : public std::runtime_error {
 public:
  BuildError(const Where& where, const std::string& what)
      : std::runtime_error(Format(where, what)), where_(where) {}
  explicit BuildError(const std::string& what) : std::runtime_error(what) {}
  const Where& where() const { return where_; }

 private:
  static std::string Format(const Where& w, const std::string& what) {
    if (w.file.empty()) return what;
    if (w.line <= 0) return w.file + ": " + what;
    return w.file + ":" + std::to_string(w.line) + ": " + what;
  }
  Where where_;
};

}  // namespace wrenly::builder
