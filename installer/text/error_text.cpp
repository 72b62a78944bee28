#include "text/error_text.h"

#include <string.h>

#include "base/setup.h"
#include "format/install_type.h"
#include "text/messages.h"

namespace wf = wrenly::format;

namespace {

struct Output {
  char* at;
  char* end;  // last byte, kept for the NUL
  void Put(char c) {
    if (at < end) *at++ = c;
  }
  void Put(const char* s) {
    while (*s) Put(*s++);
  }
};

void PutNumber(Output* o, int32_t n) {
  char digits[12];
  int k = 0;
  uint32_t v = n < 0 ? 0u - (uint32_t)n : (uint32_t)n;
  do {
    digits[k++] = (char)('0' + v % 10);
    v /= 10;
  } while (v);
  if (n < 0) o->Put('-');
  while (k) o->Put(digits[--k]);
}

}  // namespace

uint32_t FormatBounded(char* out, uint32_t size, const char* format, const char* text, bool hasNumber, int32_t number) {
  if (size == 0) return 0;
  Output o{out, out + size - 1};
  bool formatting = text || hasNumber;
  for (const char* p = format; *p; ++p) {
    if (formatting && p[0] == '%') {
      if (p[1] == '%') {
        o.Put('%');
        ++p;
        continue;
      }
      if (p[1] == 's' && text) {
        o.Put(text);
        ++p;
        continue;
      }
      if (p[1] == 'd' && hasNumber) {
        PutNumber(&o, number);
        ++p;
        continue;
      }
    }
    o.Put(*p);
  }
  *o.at = 0;
  return (uint32_t)(o.at - out);
}

void FormatErrorText(Setup& setup, char* buffer, int code) {
  const char* text = code < 0 || code > 0xFFFF ? "" : GetMessageText(setup, wf::msg::kListMessages, (uint16_t)code);
  const char* argument = strstr(text, "%s") && setup.errorArgument ? setup.errorArgument : nullptr;
  FormatBounded(buffer, kErrorTextSize, text, argument, false, 0);
}
