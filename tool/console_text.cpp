#include "tool/console_text.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <iostream>
#include <streambuf>
#include <string>
#endif

namespace wrenly::tool {

#ifdef _WIN32

namespace {

// The length of `s` without the UTF-8 sequence its end cuts short: a
// character written in two pieces must not be converted in halves.
size_t WholeCharacters(const std::string& s) {
  for (size_t back = 1; back <= 3 && back <= s.size(); ++back) {
    unsigned char c = static_cast<unsigned char>(s[s.size() - back]);
    if ((c & 0xC0) == 0x80) continue;
    size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return length > back ? s.size() - back : s.size();
  }
  return s.size();
}

class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_.push_back(traits_type::to_char_type(c));
    if (c == '\n' && sync() != 0) return traits_type::eof();
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    pending_.append(s, static_cast<size_t>(n));
    if (pending_.size() >= kHeld && sync() != 0) return 0;
    return n;
  }
  int sync() override {
    size_t whole = WholeCharacters(pending_);
    if (whole == 0) return 0;
    int n = MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole), wide.data(), n);
    pending_.erase(0, whole);
    for (size_t at = 0; at < wide.size();) {
      DWORD written = 0;
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - at, kHeld));
      if (!WriteConsoleW(console_, wide.data() + at, chunk, &written, nullptr) || written == 0) return -1;
      at += written;
    }
    return 0;
  }

 private:
  static constexpr size_t kHeld = 8192;  // bytes kept before a write when nobody flushes
  HANDLE console_;
  std::string pending_;
};

void ToConsole(std::ostream& stream, DWORD which) {
  HANDLE handle = GetStdHandle(which);
  DWORD mode;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return;
  stream.flush();
  // Never freed: the streams are flushed at exit, after every static of ours is gone.
  stream.rdbuf(new ConsoleBuffer(handle));
}

}  // namespace

void WideTextToConsoles() {
  ToConsole(std::cout, STD_OUTPUT_HANDLE);
  ToConsole(std::cerr, STD_ERROR_HANDLE);
}

#else

void WideTextToConsoles() {}

#endif

}  // namespace wrenly::tool
