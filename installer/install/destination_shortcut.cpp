#include "install/destination.h"
#include "install/shell_link.h"
#include "platform/file_system.h"
#include "platform/system.h"
#include "startup/run_state.h"
#include "text/path_variables.h"

using namespace wrenly::format;

namespace {
const int kFolderCommonDesktop = 0x19, kFolderDesktop = 0x10;

// Start of the extension of the last component, or null.
char* Extension(char* name) {
  char* dot = nullptr;
  for (char* p = name; *p; ++p) {
    if (*p == '.') dot = p;
    if (*p == '\\') dot = nullptr;
  }
  return dot;
}
}  // namespace

void CreateEntryDesktopShortcut(const uint8_t* record) {
  FileEntryView e;
  if (!FindFileEntry(record, &e) || !e.strings[kItemDesktopName][0]) return;
  char folder[kPathSize];
  int number = IsNtFamily() && (e.flags & kFlagAllUsersDesktop) ? kFolderCommonDesktop : kFolderDesktop;
  if (!GetSpecialFolderPath(folder, number)) return;

  uint32_t length = ExpandPathVariables(nullptr, e.strings[kItemDesktopArgs], 0) + 1;
  if (length > kExpandWorkSize) length = kExpandWorkSize;
  char* arguments = nullptr;
  if (!AllocBuffer(length, &arguments)) return;
  ExpandPathVariables(arguments, e.strings[kItemDesktopArgs], length);

  char used[16];
  if (CreateShellLink(folder, e.strings[kItemDesktopName], WorkPath, arguments, e.strings[kItemDesktopIcon],
                      used) == 0) {
    // The record keeps the name actually made for the uninstall record. Only
    // an extension of the same length is written over: a shorter one would
    // end the item early and renumber the items behind it.
    char* own = Extension((char*)e.strings[kItemDesktopName]);
    uint32_t n = 0;
    while (used[n]) ++n;
    uint32_t ownLength = 0;
    while (own && own[ownLength]) ++ownLength;
    if (own && used[0] == '.' && ownLength == n)
      for (uint32_t i = 0; i < n; ++i) own[i] = used[i];
  }
  FreeBuffer(&arguments);
}
