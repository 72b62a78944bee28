#pragma once
#include <stdint.h>

// Shortens path in place to "first folders\...\file" when it is longer than
// maximum characters. The result never grows, but may stay a few characters
// over the maximum: the file name is always kept whole.
void ShortenPath(char* path, uint32_t maximum);
