#include "base/run_log.h"

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

void OpenRunLog(Setup& setup, bool append) {
  setup.log = INVALID_FILE;
  if (!*setup.options.logPath) return;
  if (append) setup.log = FileOpen(setup.options.logPath, kFileWrite);
  if (setup.log != INVALID_FILE && FileSeek(setup.log, 0, kSeekEnd) == kSeekFailed) CloseRunLog(setup);
  if (setup.log == INVALID_FILE) setup.log = FileCreate(setup.options.logPath);
}

void LogAction(Setup& setup, const char* what, const char* detail, const char* why) {
  if (setup.log == INVALID_FILE) return;
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
  FileWrite(setup.log, utf8, n);
}

void LogNumber(Setup& setup, const char* what, int number, const char* why) {
  char digits[12];
  int i = 11;
  uint32_t n = number < 0 ? 0u - (uint32_t)number : (uint32_t)number;
  digits[i] = 0;
  do digits[--i] = (char)('0' + n % 10);
  while (n /= 10);
  if (number < 0) digits[--i] = '-';
  LogAction(setup, what, digits + i, why);
}

void LogRegistryValue(Setup& setup, uint32_t root, const char* key, const char* name, const char* data) {
  if (setup.log == INVALID_FILE) return;
  const char* roots[] = {"HKCR", "HKCU", "HKLM", "HKU"};
  Line detail;
  detail.Put(root < 4 ? roots[root] : "HKCU"), detail.Put("\\"), detail.Put(key), detail.Put("\\");
  detail.Put(name && *name ? name : "(default)"), detail.Put(" = "), detail.Put(data);
  LogAction(setup, "registry value", detail.text);
}

void LogIniEntry(Setup& setup, const char* file, const char* section, const char* key, const char* data) {
  if (setup.log == INVALID_FILE) return;
  Line detail;
  detail.Put(file), detail.Put(" ["), detail.Put(section), detail.Put("] "), detail.Put(key), detail.Put(" = ");
  detail.Put(data);
  LogAction(setup, "INI entry", detail.text);
}

void CloseRunLog(Setup& setup) {
  if (setup.log != INVALID_FILE) FileClose(setup.log);
  setup.log = INVALID_FILE;
}
