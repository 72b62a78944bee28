#include "platform/log_file.h"

#include "platform/system.h"

namespace {
constexpr uint32_t kLineSize = 3 * kPathSize;

struct Line {
  char text[kLineSize];
  uint32_t length = 0;
  void Put(const char* s) {
    for (; s && *s && length + 1 < kLineSize; ++s) text[length++] = *s;
    text[length] = 0;
  }
};
}  // namespace

FileHandle OpenLogFile(const char* path, bool append) {
  FileHandle log = append ? FileOpen(path, kFileWrite) : INVALID_FILE;
  if (log != INVALID_FILE && FileSeek(log, 0, kSeekEnd) == kSeekFailed) {
    FileClose(log);
    log = INVALID_FILE;
  }
  return log != INVALID_FILE ? log : FileCreate(path);
}

void WriteLogLine(FileHandle log, const char* what, const char* detail, const char* why) {
  if (log == INVALID_FILE) return;
  char time[kTimeTextSize];
  GetLocalTimeText(time);
  Line line;
  line.Put(time), line.Put(" "), line.Put(what);
  if (detail && *detail) line.Put(": "), line.Put(detail);
  if (why && *why) line.Put(" ("), line.Put(why), line.Put(")");
  // UTF-8 takes at most three bytes for each ANSI one.
  char utf8[3 * kLineSize + 2];
  uint32_t n = AnsiToUtf8(line.text, utf8, sizeof utf8 - 2);
  utf8[n++] = '\r', utf8[n++] = '\n';
  FileWrite(log, utf8, n);
}

void WriteLogNumber(FileHandle log, const char* what, int number, const char* why) {
  char digits[12];
  int i = 11;
  uint32_t n = number < 0 ? 0u - (uint32_t)number : (uint32_t)number;
  digits[i] = 0;
  do digits[--i] = (char)('0' + n % 10);
  while (n /= 10);
  if (number < 0) digits[--i] = '-';
  WriteLogLine(log, what, digits + i, why);
}
