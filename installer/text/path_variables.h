// #Name# tokens in package paths.
#pragma once
#include <stdint.h>

#include "base/setup.h"

inline constexpr uint32_t kExpandWorkSize = 65500;

// Expands source into destination (size bytes; may be the source buffer, or
// null to only measure). Returns the length of the full expansion. A
// destination too small receives the expansion cut at size - 1 bytes, always
// terminated.
uint32_t ExpandPathVariables(Setup& setup, char* destination, const char* source, uint32_t size);
