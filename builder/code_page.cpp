#include "builder/code_page.h"

#include <cerrno>
#include <fmt/format.h>
#include <iconv.h>

namespace wrenly::builder {

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
      iconv(cd, nullptr, nullptr, &to, &outLeft) == static_cast<size_t>(-1)) {
    size_t at = in - text.data(), length = 1;
    auto lead = static_cast<uint8_t>(text[at]);
    if (lead >= 0xC2 && lead <= 0xF4) length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::string_view bad = text.substr(at, length);
    bool valid = errno == EILSEQ && bad.size() == length && length > 1;
    for (size_t i = 1; valid && i < length; ++i) valid = (static_cast<uint8_t>(bad[i]) & 0xC0) == 0x80;
    if (!valid)
      throw BuildError(where, fmt::format("the text is not UTF-8 (byte 0x{:02X} at {})", lead, at));
    throw BuildError(where, fmt::format("\"{}\" cannot be written in code page {} (see [setup] codepage)", bad,
                                        number_));
  }
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace wrenly::builder
