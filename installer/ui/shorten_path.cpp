#include "ui/shorten_path.h"

#include <string.h>

void ShortenPath(char* path, uint32_t maximum) {
  if (!path) return;
  uint32_t length = uint32_t(strlen(path));
  if (length <= maximum) return;
  const char* first = strchr(path, '\\');
  if (!first) return;
  uint32_t f = uint32_t(first - path);
  uint32_t l = uint32_t(strrchr(path, '\\') - path);
  if (l - f < 4) return;
  uint32_t tail = length - l;
  uint32_t cut = f + 1;
  uint32_t b = f;
  while (b + 4 <= l) {
    if (b + tail >= maximum) break;
    cut = b + 1;
    const char* next = strchr(path + cut, '\\');
    if (!next) break;
    b = uint32_t(next - path);
  }
  // cut + 3 <= l always, so the tail only moves towards the front.
  memcpy(path + cut, "...", 3);
  memmove(path + cut + 3, path + l, tail + 1);
}
