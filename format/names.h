// Name rules of the system the packages install on, shared by the builder
// (which refuses such names) and the uninstaller (which refuses such paths).
#pragma once
#include <stdint.h>

namespace wrenly::format {

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 32) : c; }
// The system reads either as a folder separator.
inline bool IsSlash(char c) { return c == '\\' || c == '/'; }

// Whether one path component names a device: the system opens one under
// these names whatever follows the first dot, and ignores trailing spaces
// before it.
inline bool IsDeviceName(const char* c, uint32_t n) {
  uint32_t stem = 0;
  while (stem < n && c[stem] != '.') ++stem;
  while (stem > 0 && c[stem - 1] == ' ') --stem;
  if (stem < 3 || stem > 7) return false;
  char s[8] = {};
  for (uint32_t i = 0; i < stem; ++i) s[i] = AsciiLower(c[i]);
  static const char* const kNames[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
  for (const char* d : kNames) {
    uint32_t i = 0;
    while (d[i] && d[i] == s[i]) ++i;
    if (!d[i] && i == stem) return true;
  }
  return stem == 4 && ((s[0] == 'c' && s[1] == 'o' && s[2] == 'm') || (s[0] == 'l' && s[1] == 'p' && s[2] == 't')) &&
         s[3] >= '1' && s[3] <= '9';
}

}  // namespace wrenly::format
