// The Installer shows ANSI text: every text the package carries is turned
// from the project's UTF-8 into the package's code page.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "builder/error.h"

namespace wrenly::builder {

inline constexpr unsigned kDefaultCodePage = 1252;

// Where the first byte that is not strict UTF-8 lies; npos when all is UTF-8.
size_t FirstNonUtf8(std::string_view text);
// What a text that is not UTF-8 was probably saved as, for the error that asks for UTF-8.
std::string_view LikelyEncoding(std::string_view text);

class CodePage {
 public:
  // Throws BuildError at `where` when the system's converter does not know the code page.
  CodePage(unsigned number, const Where& where);
  ~CodePage();
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  // Throws BuildError at `where` naming the first character the code page
  // cannot hold, or the first byte that is not UTF-8.
  std::string FromUtf8(std::string_view text, const Where& where) const;

 private:
  unsigned number_;
  void* cd_;
};

}  // namespace wrenly::builder
