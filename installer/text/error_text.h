// Turning a result code into words, and the bounded formatting behind it.
#pragma once
#include <stdint.h>

#include "base/setup.h"

inline constexpr uint32_t kErrorTextSize = 1024;

// Formats into out (size bytes, always NUL-terminated, cut when full): "%s"
// takes text and "%d" takes number, each only when given (text non-null,
// hasNumber); "%%" is one "%" then; anything else is copied as it stands.
// Returns the length written.
uint32_t FormatBounded(char* out, uint32_t size, const char* format, const char* text, bool hasNumber, int32_t number);
// Text 7/code into buffer (kErrorTextSize bytes); a text holding "%s" gets
// the setup.errorArgument, any other is copied unchanged.
void FormatErrorText(Setup& setup, char* buffer, int code);
