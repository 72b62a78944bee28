#include "startup/command_line.h"

#include <string.h>

#include "base/setup.h"
#include "package/package.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c; }
const char* SkipSpaces(const char* p) {
  while (*p == ' ') ++p;
  return p;
}

// Copies up to the stop character (or the end); returns where copying stopped.
const char* CopyUntil(const char* p, char stop, char* out, uint32_t capacity) {
  uint32_t n = 0;
  for (; *p && *p != stop; ++p)
    if (n + 1 < capacity) out[n++] = *p;
  if (capacity) out[n] = 0;
  return p;
}

}  // namespace

const char* ReadPathArgument(const char* text, char* out, uint32_t capacity) {
  if (capacity) out[0] = 0;
  const char* p = SkipSpaces(text);
  if (*p == '"') {
    p = CopyUntil(p + 1, '"', out, capacity);
    return *p == '"' ? p + 1 : p;
  }
  return CopyUntil(p, ' ', out, capacity);
}

void ParseCommandLine(Setup& setup, const char* text) {
  if (!text || !*text) return;
  const char* p = SkipSpaces(text);
  while (*p == '-' || *p == '/') {
    char letter = Upper(p[1]);
    if (!letter) return;
    p += 2;
    switch (letter) {
      case 'B':
        setup.options.resumeType = 0;
        if (IsDigit(p[0])) {
          setup.options.resumeType = p[0] - '0';
          if (IsDigit(p[1])) setup.options.resumeType = setup.options.resumeType * 10 + (p[1] - '0');
        }
        break;
      case 'D':
        if (p[0] && Upper(p[0]) == 'E' && Upper(p[1]) == 'L') setup.options.deleteSelf = true;
        break;
      case 'N': setup.runAtEnd = false; break;
      case 'R':
        if (*p == ' ' || *p == 0) setup.options.acceptDamaged = true;
        break;
      case 'S': p = ReadPathArgument(p, setup.ownPath, kPathSize); break;
      case 'V': setup.options.verbose = true; break;
      // Letters that older Installers skip, so their command lines still
      // install the same way there.
      case 'Q': setup.options.quiet = Upper(*p) == 'P' ? kQuietProgress : kQuiet; break;
      case 'T': p = ReadPathArgument(p, setup.options.targetFolder, kPathSize); break;
      case 'I': p = ReadPathArgument(p, setup.options.installType, kPathSize); break;
      case 'L': p = ReadPathArgument(p, setup.options.logPath, kPathSize); break;
      default: break;
    }
    while (*p && *p != ' ' && *p != '-' && *p != '/') ++p;
    p = SkipSpaces(p);
  }
}

int ApplyCommandChoices(Setup& setup) {
  if (*setup.options.installType) {
    int type = FindInstallType(setup.package, setup.options.installType);
    if (type < 0 || !SelectInstallType(setup, type)) return 0;
  }
  // A previous installation's folder gives way too: the caller said where.
  if (*setup.options.targetFolder) memcpy(setup.installFolder, setup.options.targetFolder, kPathSize);
  return 1;
}
