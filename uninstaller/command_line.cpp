#include "uninstaller/command_line.h"

#include <string.h>

namespace wrenly::uninstaller {
namespace {
const char kRun[] = "/RUN=";

bool Blank(char c) { return c == ' ' || c == '\t'; }

bool SameText(const char* a, const char* b, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? (char)(a[i] - 32) : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

// Hex digits up to `stop`; false on anything else or none.
bool ReadHex(const char*& p, char stop, uint64_t* out) {
  uint64_t v = 0;
  int digits = 0;
  for (; *p && *p != stop && !Blank(*p); ++p, ++digits) {
    char c = *p;
    int d = c >= '0' && c <= '9'   ? c - '0'
            : c >= 'a' && c <= 'f' ? c - 'a' + 10
            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                   : -1;
    if (d < 0 || digits == 16) return false;
    v = v * 16 + (uint64_t)d;
  }
  *out = v;
  return digits > 0 && *p == stop;
}

struct Writer {
  char* out;
  uint32_t size, n;
  void Add(const char* s) {
    for (; *s; ++s)
      if (n < size) out[n++] = *s;
  }
  void Hex(uint64_t v) {
    char digits[17];
    int i = 16;
    digits[i] = 0;
    do digits[--i] = "0123456789ABCDEF"[v & 15];
    while ((v >>= 4) && i > 0);
    Add(digits + i);
  }
};

// A path after its switch, plain up to a blank or quoted (blanks inside).
bool ReadPath(const char*& p, char* out) {
  bool quoted = *p == '"';
  const char* start = quoted ? p + 1 : p;
  const char* end = start;
  while (*end && (quoted ? *end != '"' : !Blank(*end))) ++end;
  if ((quoted && *end != '"') || end == start || (uint32_t)(end - start) >= kCommandPathSize) return false;
  memcpy(out, start, (size_t)(end - start));
  out[end - start] = 0;
  p = quoted ? end + 1 : end;
  return Blank(*p) || !*p;
}

// The original's handles and its path, quoted: it may hold blanks.
bool ReadRun(const char*& p, UninstallCommand* out) {
  if (out->copy || !ReadHex(p, ',', &out->pipe) || !ReadHex(++p, ' ', &out->process)) return false;
  while (*p == ' ') ++p;
  const char* end = *p == '"' ? strchr(p + 1, '"') : nullptr;
  if (!end || end == p + 1 || (uint32_t)(end - p - 1) >= kCommandPathSize) return false;
  memcpy(out->original, p + 1, (size_t)(end - p - 1));
  p = end + 1;
  return out->copy = Blank(*p) || !*p;
}
}  // namespace

// Every word is read even after a bad one, so that /S still keeps a
// script's run free of windows when it also gave something unknown.
int ParseUninstallCommand(const char* line, UninstallCommand* out) {
  memset(out, 0, sizeof *out);
  bool good = true;
  for (const char* p = line;;) {
    while (Blank(*p)) ++p;
    if (!*p) return good && !*out->previous == !*out->previousFolder;
    const char* word = p;
    while (*p && !Blank(*p)) ++p;
    if (p - word == 2 && SameText(word, "/S", 2)) {
      out->silent = true;
    } else if (p - word == 2 && SameText(word, "/Q", 2)) {
      out->silent = out->quiet = true;
    } else if (SameText(word, "/L", 2) || SameText(word, "/P", 2) || SameText(word, "/F", 2)) {
      char kind = (char)(word[1] & ~0x20);
      p = word + 2;
      if (!ReadPath(p, kind == 'L' ? out->log : kind == 'P' ? out->previous : out->previousFolder)) {
        good = false;
        while (*p && !Blank(*p)) ++p;
      }
      if (kind == 'P') out->silent = true;
    } else if (SameText(word, kRun, sizeof kRun - 1)) {
      p = word + sizeof kRun - 1;
      if (!ReadRun(p, out)) {
        good = false;
        while (*p && !Blank(*p)) ++p;
      }
    } else {
      good = false;
    }
  }
}

int FormatCopyCommand(const char* copyPath, const UninstallCommand& command, char* out, uint32_t size) {
  Writer w = {out, size, 0};
  w.Add("\"");
  w.Add(copyPath);
  w.Add(command.quiet ? "\" /Q " : command.silent ? "\" /S " : "\" ");
  if (*command.log) {
    w.Add("/L\"");
    w.Add(command.log);
    w.Add("\" ");
  }
  w.Add(kRun);
  w.Hex(command.pipe);
  w.Add(",");
  w.Hex(command.process);
  w.Add(" \"");
  w.Add(command.original);
  w.Add("\"");
  if (w.n >= size) return 0;
  out[w.n] = 0;
  return 1;
}

}  // namespace wrenly::uninstaller
