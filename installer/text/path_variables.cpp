#include "text/path_variables.h"

#include <string.h>

#include "base/setup.h"
#include "platform/files.h"
#include "platform/system.h"
#include "text/path_services.h"

namespace {

const char kVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
enum { kCsidlPersonal = 5, kCsidlAppData = 26 };

void FormatDecimal(char* out, uint32_t v) {
  char digits[11];
  int n = 0;
  do {
    digits[n++] = (char)('0' + v % 10);
    v /= 10;
  } while (v);
  while (n) *out++ = digits[--n];
  *out = 0;
}

bool SameToken(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = *a >= 'A' && *a <= 'Z' ? (char)(*a + 32) : *a;
    char y = *b >= 'A' && *b <= 'Z' ? (char)(*b + 32) : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

// A per-user product's programs live in the user's own programs folder; a
// 64-bit one's in the 64-bit Program Files, which only the 64-bit view names.
int ProgramsFolder(const Setup& setup, const char* value, const char* userFolder, char* out) {
  if (setup.package.scope == wrenly::format::kScopeUser) {
    char local[kPathSize];
    return GetSpecialFolderPath(local, wrenly::format::kLocalAppDataFolder) &&
           JoinText(out, kPathSize, local, userFolder);
  }
  return QueryRegistryString(ProductRoot(setup, kRootLocalMachine), kVersionKey, value, out, kPathSize);
}

// Writes the value of the token held in `token` over it (room: kPathSize).
// A value that cannot be found leaves the token's text; an unknown token
// becomes "".
void ReplaceToken(Setup& setup, char* token) {
  char value[kPathSize];
  value[0] = 0;
  bool known = true, found = false;
  if (SameToken(token, "#Windows#")) {
    found = GetWindowsFolder(value);
  } else if (SameToken(token, "#System#")) {
    found = GetSystemFolder(value);
  } else if (SameToken(token, "#Program Files#")) {
    found = ProgramsFolder(setup, "ProgramFilesDir", wrenly::format::kUserProgramsFolder, value);
  } else if (SameToken(token, "#CommonFiles#")) {
    found = ProgramsFolder(setup, "CommonFilesDir", wrenly::format::kUserCommonFilesFolder, value);
  } else if (SameToken(token, "#MyDocuments#")) {
    found = GetSpecialFolderPath(value, kCsidlPersonal);
  } else if (SameToken(token, "#AppData#")) {
    found = GetSpecialFolderPath(value, kCsidlAppData);
  } else if (SameToken(token, "#InstallDir#")) {
    found = setup.installFolder != nullptr;
    if (found) strcpy(value, setup.installFolder);
  } else if (SameToken(token, "#SourceDir#")) {
    found = setup.ownPath != nullptr;
    if (found) {
      strcpy(value, setup.ownPath);
      char* cut = strrchr(value, '\\');
      if (cut) *cut = 0;
    }
  } else if (SameToken(token, "#Date#")) {
    int y, m, d;
    GetLocalDate(&y, &m, &d);
    FormatDecimal(value, (uint32_t)(y * 10000 + m * 100 + d));
    found = true;
  } else {
    known = false;
  }
  if (!known) token[0] = 0;
  else if (found) strcpy(token, value);
}

}  // namespace

uint32_t ExpandPathVariables(Setup& setup, char* destination, const char* source, uint32_t size) {
  char* work;
  uint32_t length;
  if (!AllocZeroed(kExpandWorkSize, &work)) {
    length = (uint32_t)strlen(source);
    if (destination && size) {
      if (destination != source) {
        uint32_t n = length < size ? length : size - 1;
        memmove(destination, source, n);
        destination[n] = 0;
      } else if (length >= size) {
        destination[size - 1] = 0;
      }
    }
    return length;
  }

  // Room kept at the end of the work buffer for one value or token.
  const uint32_t limit = kExpandWorkSize - kPathSize - 1;
  uint32_t used = 0;
  const char* p = source;
  auto append = [&](const char* from, uint32_t n) {
    if (n > limit - used) n = limit - used;
    memcpy(work + used, from, n);
    used += n;
    work[used] = 0;
  };

  while (*p) {
    const char* open = strchr(p, '#');
    if (!open) {
      append(p, (uint32_t)strlen(p));
      break;
    }
    append(p, (uint32_t)(open - p));
    const char* close = strchr(open + 1, '#');
    if (!close) {
      append(open, (uint32_t)strlen(open));
      break;
    }
    uint32_t tokenLength = (uint32_t)(close - open + 1);
    char* at = work + used;
    if (tokenLength < kPathSize) {
      memcpy(at, open, tokenLength);
      at[tokenLength] = 0;
      ReplaceToken(setup, at);
    } else {
      at[0] = 0;  // longer than any name: an unknown token
    }
    if (*at) {
      StripBackslash(at);
      used += (uint32_t)strlen(at);
      if (used > limit) used = limit;
      work[used] = 0;
    }
    p = close + 1;
  }

  length = used;
  if (destination && size) {
    destination[0] = 0;
    if (length) {
      uint32_t n = length < size ? length : size - 1;
      memcpy(destination, work, n);
      destination[n] = 0;
    }
  }
  FreeBuffer(&work);
  return length;
}
