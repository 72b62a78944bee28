#include "base/run_log.h"

#include "platform/log_file.h"

void OpenRunLog(Setup& setup, bool append) {
  setup.log = *setup.options.logPath ? OpenLogFile(setup.options.logPath, append) : INVALID_FILE;
}

void LogAction(Setup& setup, const char* what, const char* detail, const char* why) {
  WriteLogLine(setup.log, what, detail, why);
}

void LogNumber(Setup& setup, const char* what, int number, const char* why) {
  WriteLogNumber(setup.log, what, number, why);
}

namespace {
// Room for a key and a value of the ANSI calls' size, and what joins them.
struct Detail {
  char text[3 * kPathSize];
  uint32_t length = 0;
  Detail& Put(const char* s) {
    for (; s && *s && length + 1 < sizeof text; ++s) text[length++] = *s;
    text[length] = 0;
    return *this;
  }
};
}  // namespace

void LogRegistryValue(Setup& setup, uint32_t root, const char* key, const char* name, const char* data) {
  if (setup.log == INVALID_FILE) return;
  const char* roots[] = {"HKCR", "HKCU", "HKLM", "HKU"};
  uint32_t number = root & kRootNumberMask;
  Detail d;
  d.Put(number < 4 ? roots[number] : "HKCU")
      .Put(root & kRootWideView ? " (64-bit view)\\" : "\\")
      .Put(key)
      .Put("\\")
      .Put(name && *name ? name : "(default)");
  LogAction(setup, "registry value", d.Put(" = ").Put(data).text);
}

void LogIniEntry(Setup& setup, const char* file, const char* section, const char* key, const char* data) {
  if (setup.log == INVALID_FILE) return;
  Detail d;
  LogAction(setup, "INI entry", d.Put(file).Put(" [").Put(section).Put("] ").Put(key).Put(" = ").Put(data).text);
}

void CloseRunLog(Setup& setup) {
  if (setup.log != INVALID_FILE) FileClose(setup.log);
  setup.log = INVALID_FILE;
}
