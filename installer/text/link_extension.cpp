#include "text/link_extension.h"

#include <string.h>

const char* LinkExtension(const char* target) {
  size_t n = target ? strlen(target) : 0;
  if (n >= 4 && target[n - 4] == '.') return target + n - 4;
  return ".htm";
}
