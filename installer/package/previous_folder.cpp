#include <string.h>

#include "base/setup.h"
#include "format/bytes.h"
#include "format/install_type.h"
#include "package/install_types.h"
#include "platform/system.h"
#include "text/path_services.h"
#include "text/path_variables.h"

namespace wf = wrenly::format;

namespace {

void CopyPath(char* to, const char* from) {
  size_t n = strlen(from);
  if (n >= kPathSize) n = kPathSize - 1;
  memmove(to, from, n);
  to[n] = 0;
}

bool SameTextIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = *a >= 'A' && *a <= 'Z' ? (char)(*a + 32) : *a;
    char y = *b >= 'A' && *b <= 'Z' ? (char)(*b + 32) : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

// Keeps the candidate only when it names an existing folder, or a file
// whose folder exists (a program path stored by an earlier installation).
void AcceptAsFolder(char* candidate) {
  if (EnterFolder(candidate) == 0) return;
  char* slash = strrchr(candidate, '\\');
  if (slash && strchr(slash + 1, '.')) {
    *slash = 0;
    if (EnterFolder(candidate) == 0) return;
  }
  candidate[0] = 0;
}

}  // namespace

void DetectPreviousFolder(Setup& setup, const InstallTypeSlot* type) {
  char* scratch = setup.tempPath;
  scratch[0] = 0;
  bool parent = false;

  if (type->defaultFolder) {
    if (SameTextIgnoringCase(type->defaultFolder, wf::install_type::kParentFolder)) parent = true;
    else CopyPath(setup.installFolder, type->defaultFolder);
  }
  if (type->folderKey) {
    uint32_t root = ProductRoot(setup, wf::LoadU32(type->record + wf::install_type::kFolderRoot));
    if (!QueryRegistryString(root, type->folderKey, type->folderValue, scratch, kPathSize)) scratch[0] = 0;
  }
  // The INI value read is the candidate, like a registry value.
  if (!scratch[0] && type->iniFile && type->iniSection && type->iniKey)
    ReadIniString(type->iniFile, type->iniSection, type->iniKey, scratch, kPathSize);

  if (scratch[0]) {
    AcceptAsFolder(scratch);
    if (scratch[0]) {
      if (parent) {
        char* slash = strrchr(scratch, '\\');
        if (slash) *slash = 0;
      }
      CopyPath(setup.installFolder, scratch);
      if (setup.installFolder[0]) MatchPathCase(setup.installFolder);
    }
  }
  ExpandPathVariables(setup, setup.installFolder, setup.installFolder, kPathSize);
}

void MatchPathCase(char* path) {
  char result[kPathSize];
  size_t used = 0;
  const char* p = path;
  if (p[0] && p[1] == ':') {
    result[0] = p[0];
    result[1] = ':';
    used = 2;
    p += 2;
  }
  while (*p == '\\') ++p;
  while (*p) {
    const char* end = strchr(p, '\\');
    size_t n = end ? (size_t)(end - p) : strlen(p);
    if (n) {
      if (used + 1 + n >= kPathSize) return;
      result[used] = '\\';
      memcpy(result + used + 1, p, n);
      result[used + 1 + n] = 0;
      char stored[kPathSize];
      if (!FindStoredName(result, stored)) return;
      size_t m = strlen(stored);
      if (used + 1 + m >= kPathSize) return;
      memcpy(result + used + 1, stored, m + 1);
      used += 1 + m;
    }
    p += n;
    while (*p == '\\') ++p;
  }
  result[used] = 0;
  memcpy(path, result, used + 1);
}

void ClosePageSequence(uint8_t* sequence) {
  for (uint32_t i = 0; i + 1 < wf::install_type::kPageSequenceSize; ++i) {
    if (sequence[i] == wf::install_type::kSequenceEnd) {
      sequence[i] = wf::kPageClosing;
      sequence[i + 1] = wf::install_type::kSequenceEnd;
      return;
    }
  }
}
