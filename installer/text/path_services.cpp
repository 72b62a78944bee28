#include "text/path_services.h"

#include <string.h>

#include "base/setup.h"
#include "platform/files.h"
#include "platform/system.h"

void AppendBackslash(char* path) {
  size_t n = strlen(path);
  if (n && path[n - 1] != '\\' && n + 1 < kPathSize) {
    path[n] = '\\';
    path[n + 1] = 0;
  }
}

void StripBackslash(char* path) {
  size_t n = strlen(path);
  if (n > 3 && path[n - 1] == '\\') path[n - 1] = 0;
}

const char* FileExtension(const char* path) {
  const char* dot = nullptr;
  for (const char* p = path; *p; ++p) {
    if (*p == '.') dot = p;
    if (*p == '\\' || *p == '/') dot = nullptr;
  }
  return dot;
}

bool JoinText(char* out, uint32_t size, const char* a, const char* b, const char* c) {
  size_t na = strlen(a), nb = strlen(b), nc = strlen(c);
  if (na + nb + nc >= size) return false;
  memmove(out, a, na);  // out may be a
  memcpy(out + na, b, nb);
  memcpy(out + na + nb, c, nc + 1);
  return true;
}

namespace {

// Enters the folder, creating it when it cannot be entered; 1 on failure.
int EnterOrCreate(const char* folder) {
  if (EnterFolder(folder) == 0) return 0;
  if (MakeFolder(folder) != 0) return 1;
  return EnterFolder(folder) == 0 ? 0 : 1;
}

}  // namespace

int CreateFolderChain(const char* path) {
  size_t len = strlen(path);
  char* copy;
  if (!AllocBuffer((uint32_t)len + 3, &copy)) return -1;
  memcpy(copy, path, len + 1);
  char* last = strrchr(copy, '\\');
  if (last) last[1] = 0;

  size_t start = 0;
  if (copy[0] == '\\' && copy[1] == '\\') start = 2;
  else if (copy[0] && copy[1] == ':' && copy[2] == '\\') start = 3;

  // Most files go where the one before went: one call finds the whole chain,
  // and none when it is the current directory already (entering a folder
  // costs as much as creating a file on some systems).
  if (last && last > copy + start) {
    *last = 0;
    bool there = IsCurrentFolder(copy) || EnterFolder(copy) == 0;
    *last = '\\';
    if (there) {
      FreeBuffer(&copy);
      return 0;
    }
  }
  int result = 0;
  char* slash = strchr(copy + start, '\\');
  if (slash) {
    char piece[kPathSize];
    while (slash) {
      size_t n = (size_t)(slash - copy);
      if (n >= kPathSize) {
        result = 1;
        break;
      }
      memcpy(piece, copy, n);
      piece[n] = 0;
      if (EnterOrCreate(piece) != 0) {
        result = 1;
        break;
      }
      slash = strchr(slash + 1, '\\');
    }
  } else {
    StripBackslash(copy);
    result = EnterOrCreate(copy);
  }
  FreeBuffer(&copy);
  return result;
}
