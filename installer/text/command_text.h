// Command lines put together piece by piece. The writer measures as it goes
// and never writes past its buffer: a command that does not fit is known by
// its length and is never run cut short, where it would be another command.
#pragma once
#include <stdint.h>

struct CommandText {
  char* out;  // may be null with size 0 to measure only
  uint32_t size;
  uint32_t length = 0;

  CommandText(char* buffer, uint32_t bytes) : out(buffer), size(bytes) {
    if (size) out[0] = 0;
  }
  // At most count bytes of text.
  CommandText& Put(const char* text, uint32_t count = 0xFFFFFFFFu) {
    for (; count && *text; --count, ++text, ++length)
      if (length + 1 < size) out[length] = *text, out[length + 1] = 0;
    return *this;
  }
  // A path in double quotes, so one with a blank stays one argument.
  CommandText& Quoted(const char* path) { return Put("\"").Put(path).Put("\""); }
  CommandText& Number(uint32_t n) {
    char digits[12];
    int i = 11;
    digits[i] = 0;
    do digits[--i] = (char)('0' + n % 10);
    while (n /= 10);
    return Put(digits + i);
  }
  bool Fits() const { return length < size; }
};
