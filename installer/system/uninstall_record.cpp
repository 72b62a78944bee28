#include "system/uninstall_record.h"

int WriteStringField(FileHandle file, const char* text) {
  uint32_t n = 0;
  while (text[n]) ++n;
  uint8_t length[2] = {(uint8_t)n, (uint8_t)(n >> 8)};
  if (FileWrite(file, length, 2) != 0) return 1;
  return (uint16_t)n ? FileWrite(file, text, (uint16_t)n) : 0;
}
