// The log a run keeps when /L names a file: a line per action, each with
// the time, in UTF-8. Each line is written as it happens, so a run that is
// killed leaves what it did so far.
#pragma once
#include "base/setup.h"

// Creates the log file, or adds to it (the temporary copy of a run adds to
// its original's); no log when /L was not given or the file cannot be made:
// a log never stops an installation.
void OpenRunLog(Setup& setup, bool append);
// "time what: detail (why)"; detail and why may be null or empty.
void LogAction(Setup& setup, const char* what, const char* detail = nullptr, const char* why = nullptr);
// The same with a number as the detail.
void LogNumber(Setup& setup, const char* what, int number, const char* why = nullptr);
// "registry value: HKLM\key\name = data" (a RegistryRoot); a REG_DWORD's data as a number.
void LogRegistryValue(Setup& setup, uint32_t root, const char* key, const char* name, const char* data);
void LogIniEntry(Setup& setup, const char* file, const char* section, const char* key, const char* data);
void CloseRunLog(Setup& setup);
