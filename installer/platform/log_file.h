// A log file of lines, each with the local time, in UTF-8. Each line is
// written as it happens, so a program that is killed leaves what it did.
// Shared by the Installer and the uninstaller.
#pragma once
#include <stdint.h>

#include "platform/files.h"

// Creates path, or adds to it; INVALID_FILE when it cannot be made.
FileHandle OpenLogFile(const char* path, bool append);
// "time what: detail (why)"; detail and why may be null or empty. Nothing
// without a file.
void WriteLogLine(FileHandle log, const char* what, const char* detail, const char* why);
// The same with a signed number as the detail.
void WriteLogNumber(FileHandle log, const char* what, int number, const char* why);
