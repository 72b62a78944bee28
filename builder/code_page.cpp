#include "builder/code_page.h"

#include <fmt/format.h>

#include <cerrno>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <optional>
#else
#include <iconv.h>
#endif

namespace wrenly::builder {

namespace {

// Strictly: no overlong forms, surrogates or code points past U+10FFFF, as
// MB_ERR_INVALID_CHARS refuses them. 0 when the bytes at `at` are not UTF-8.
size_t Utf8SequenceLength(std::string_view text, size_t at) {
  auto byte = [&](size_t i) { return at + i < text.size() ? static_cast<uint8_t>(text[at + i]) : 0; };
  uint8_t lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                  : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                 : 0;
  if (!length) return 0;
  uint8_t low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  uint8_t high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

size_t FirstNonUtf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    size_t length = Utf8SequenceLength(text, at);
    if (!length) return at;
    at += length;
  }
  return std::string_view::npos;
}

// Editors on Windows save "Unicode" as UTF-16, whose ASCII has a zero byte
// beside every letter; anything else that fails is most likely the ANSI code page.
std::string_view LikelyEncoding(std::string_view text) {
  if (text.starts_with("\xFF\xFE")) return "UTF-16 LE";
  if (text.starts_with("\xFE\xFF")) return "UTF-16 BE";
  size_t zeros[2] = {0, 0};
  for (size_t i = 0; i < text.size(); ++i) zeros[i % 2] += text[i] == 0;
  if (zeros[0] + zeros[1]) return zeros[1] >= zeros[0] ? "UTF-16 LE" : "UTF-16 BE";
  return "Latin-1 or Windows-1252";
}

namespace {

// The error for the character at `at`, the first one the conversion refused:
// a whole UTF-8 sequence the code page lacks, or bytes that are not UTF-8.
BuildError Refusal(std::string_view text, size_t at, bool convertible, unsigned number, const Where& where) {
  size_t length = 1;
  auto lead = static_cast<uint8_t>(text[at]);
  if (lead >= 0xC2 && lead <= 0xF4) length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  std::string_view bad = text.substr(at, length);
  bool valid = convertible && bad.size() == length && length > 1;
  for (size_t i = 1; valid && i < length; ++i) valid = (static_cast<uint8_t>(bad[i]) & 0xC0) == 0x80;
  if (!valid) return BuildError(where, fmt::format("the text is not UTF-8 (byte 0x{:02X} at {})", lead, at));
  return BuildError(where, fmt::format("\"{}\" cannot be written in code page {} (see [setup] codepage)", bad, number));
}

}  // namespace

#ifdef _WIN32

namespace {

// Nothing when the text is not UTF-8 or holds a character the code page lacks
// (no best fit: "é" never silently becomes "e").
std::optional<std::string> Convert(std::string_view text, unsigned number) {
  if (text.empty()) return std::string();
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), n);
  BOOL usedDefault = FALSE;
  int m = WideCharToMultiByte(number, WC_NO_BEST_FIT_CHARS, wide.data(), n, nullptr, 0, nullptr, &usedDefault);
  if (m <= 0 || usedDefault) return std::nullopt;
  std::string out(m, '\0');
  WideCharToMultiByte(number, WC_NO_BEST_FIT_CHARS, wide.data(), n, out.data(), m, nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  return out;
}

}  // namespace

CodePage::CodePage(unsigned number, const Where& where) : number_(number), cd_(nullptr) {
  if (!IsValidCodePage(number))
    throw BuildError(where, fmt::format("code page {} is unknown to this system's converter", number));
}

CodePage::~CodePage() = default;

std::string CodePage::FromUtf8(std::string_view text, const Where& where) const {
  if (auto out = Convert(text, number_)) return *out;
  // The first character at fault, in the order the text is read.
  for (size_t at = 0; at < text.size();) {
    size_t length = Utf8SequenceLength(text, at);
    if (!length || !Convert(text.substr(at, length), number_)) throw Refusal(text, at, length != 0, number_, where);
    at += length;
  }
  throw BuildError(where, fmt::format("the text cannot be written in code page {}", number_));
}

#else

CodePage::CodePage(unsigned number, const Where& where) : number_(number) {
  iconv_t cd = iconv_open(fmt::format("CP{}", number).c_str(), "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw BuildError(where, fmt::format("code page {} is unknown to this system's converter", number));
  cd_ = cd;
}

CodePage::~CodePage() { iconv_close(static_cast<iconv_t>(cd_)); }

std::string CodePage::FromUtf8(std::string_view text, const Where& where) const {
  iconv_t cd = static_cast<iconv_t>(cd_);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  // No code page takes more than four bytes for a character that UTF-8 writes in one.
  std::string out(text.size() * 4, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size(), outLeft = out.size();
  char* to = out.data();
  if (iconv(cd, &in, &inLeft, &to, &outLeft) == static_cast<size_t>(-1) ||
      iconv(cd, nullptr, nullptr, &to, &outLeft) == static_cast<size_t>(-1))
    throw Refusal(text, in - text.data(), errno == EILSEQ, number_, where);
  out.resize(out.size() - outLeft);
  return out;
}

#endif

}  // namespace wrenly::builder
