// The Installer's single-letter options.
#pragma once
#include <stdint.h>

#include "base/setup.h"

// Fills setup.options and setup.runAtEnd from the command line (without the program
// name); text may be null. Unknown or malformed options are skipped.
void ParseCommandLine(Setup& setup, const char* text);
// Copies a plain or quoted path into out (capacity bytes, always terminated,
// so at most capacity - 1 characters) and returns where parsing goes on.
const char* ReadPathArgument(const char* text, char* out, uint32_t capacity);
// After loading: the installation type (/I) and folder (/T) the command
// line chose, as the wizard would have them. 0 when /I names no type.
int ApplyCommandChoices(Setup& setup);
