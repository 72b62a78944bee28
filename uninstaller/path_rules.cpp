#include "uninstaller/path_rules.h"

#include <string.h>

#include "format/names.h"
#include "format/uninstall_log.h"
#include "platform/system.h"

namespace wrenly::uninstaller {
namespace {
using format::AsciiLower;
using format::IsSlash;

struct Builder {
  char* out;
  uint32_t size, length;
  bool ok;
  void Add(const char* text, uint32_t n) {
    for (uint32_t i = 0; i < n && ok; ++i) {
      char c = IsSlash(text[i]) ? '\\' : text[i];
      if (c == '\\' && length >= 2 && out[length - 1] == '\\') continue;  // the system folds "a\\b" to "a\b"
      ok = length + 1 < size;
      if (ok) out[length++] = c;
    }
    if (ok) out[length] = 0;
  }
};

// Without trailing backslashes, so that "C:\Windows\" and "C:\Windows" match.
uint32_t TrimmedLength(const char* path, uint32_t n) {
  while (n > 0 && IsSlash(path[n - 1])) --n;
  return n;
}

bool SameFolder(const char* a, uint32_t na, const char* b) {
  if (!b || !b[0]) return false;
  uint32_t nb = TrimmedLength(b, (uint32_t)strlen(b));
  na = TrimmedLength(a, na);
  if (na != nb) return false;
  for (uint32_t i = 0; i < na; ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i]) && !(IsSlash(a[i]) && IsSlash(b[i]))) return false;
  return true;
}

// The system strips a component's trailing dots and spaces, so "..." climbs
// like ".." and "Windows." names the Windows folder.
bool EndsInDotOrSpace(const char* c, uint32_t n) { return n > 0 && (c[n - 1] == '.' || c[n - 1] == ' '); }

PathRefusal CheckComponents(const char* p, uint32_t from, uint32_t n) {
  for (uint32_t at = from; at < n;) {
    uint32_t e = at;
    while (e < n && p[e] != '\\') ++e;
    if (EndsInDotOrSpace(p + at, e - at)) return kPathDots;
    if (format::IsDeviceName(p + at, e - at)) return kPathDevice;
    at = e + 1;
  }
  return kPathGood;
}

}  // namespace

PathRefusal ResolveRecordPath(TextView folder, TextView name, const char* installFolder, const char* windowsFolder,
                              const char* systemFolder, char* out, uint32_t outSize) {
  const char* f = folder.text;
  uint32_t nf = folder.length, own = (uint32_t)strlen(format::kRecordOwnFolder);
  Builder b{out, outSize, 0, outSize > 0};
  if (b.ok) out[0] = 0;
  if (nf >= own && memcmp(f, format::kRecordOwnFolder, own) == 0 && (nf == own || IsSlash(f[own]))) {
    b.Add(installFolder, TrimmedLength(installFolder, (uint32_t)strlen(installFolder)));
    b.Add(f + own, nf - own);
  } else {
    b.Add(f, nf);
  }
  if (name.length) b.Add("\\", 1), b.Add(name.text, name.length);
  if (!b.ok) return kPathTooLong;

  const char* p = out;
  uint32_t n = b.length;
  if (n >= 4 && p[0] == '\\' && p[1] == '\\' && (p[2] == '?' || p[2] == '.') && p[3] == '\\') return kPathPrefix;
  uint32_t rootEnd;  // where the first component after the root begins
  if (n >= 3 && p[1] == ':' && p[2] == '\\' && AsciiLower(p[0]) >= 'a' && AsciiLower(p[0]) <= 'z') {
    rootEnd = 3;
  } else if (n >= 2 && p[0] == '\\' && p[1] == '\\') {
    // \\server\share is the root of a share.
    uint32_t slashes = 0;
    for (rootEnd = 2; rootEnd < n && slashes < 2; ++rootEnd) slashes += p[rootEnd] == '\\';
    if (slashes < 2) return kPathRoot;
  } else {
    return kPathRelative;
  }
  for (uint32_t i = 0; i < n; ++i)
    if ((uint8_t)p[i] < 0x20 || strchr("<>\"|?*", p[i])) return kPathCharacter;
  for (uint32_t i = 2; i < n; ++i)
    if (p[i] == ':') return kPathStream;
  if (PathRefusal r = CheckComponents(p, 2, n)) return r;
  uint32_t trimmed = TrimmedLength(p, n);
  if (trimmed < rootEnd) return kPathRoot;
  bool rest = false;
  for (uint32_t i = rootEnd; i < trimmed; ++i) rest = rest || p[i] != '\\';
  if (!rest) return kPathRoot;
  if (SameFolder(p, n, windowsFolder) || SameFolder(p, n, systemFolder)) return kPathProtected;
  return kPathGood;
}

uint32_t EmptyKeyFloor(uint32_t root, const char* key) {
  static const char* const kSystemVendors[] = {"microsoft",   "classes", "policies",
                                               "wow6432node", "clients", "registeredapplications"};
  if (root != kRootCurrentUser && root != kRootLocalMachine) return 0;
  const char* vendor = key;
  for (const char* word = "software\\"; *word; ++word, ++vendor)
    if (AsciiLower(*vendor) != *word) return 0;
  uint32_t n = 0;
  while (vendor[n] && vendor[n] != '\\') ++n;
  if (!n) return 0;
  for (const char* system : kSystemVendors) {
    uint32_t i = 0;
    while (i < n && system[i] && AsciiLower(vendor[i]) == system[i]) ++i;
    if (i == n && !system[i]) return 0;
  }
  return 2;
}

}  // namespace wrenly::uninstaller
