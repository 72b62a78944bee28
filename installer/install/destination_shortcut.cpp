#include "base/run_log.h"
#include "base/setup.h"
#include "install/install_next_entry.h"
#include "package/entry_destination.h"
#include "platform/file_system.h"
#include "platform/shell_link.h"
#include "platform/system.h"
#include "system/shortcuts.h"
#include "text/path_services.h"

using namespace wrenly::format;

namespace {
uint32_t Length(const char* s) {
  uint32_t n = 0;
  while (s && s[n]) ++n;
  return n;
}
}  // namespace

void CreateEntryDesktopShortcut(Setup& setup, const uint8_t* record) {
  FileEntryView e;
  if (!FindFileEntry(setup, record, &e) || !IsPlainFileName(e.strings[kItemDesktopName])) return;
  char folder[kPathSize], link[kPathSize], icon[kPathSize], target[kPathSize];
  if (!DesktopFolder(e.flags, folder) || !JoinPath(link, folder, e.strings[kItemDesktopName]) ||
      !ShortcutIconPath(setup, icon, e.strings[kItemDesktopIcon]) || !setup.workPath[0] ||
      !JoinPath(target, "", setup.workPath))
    return;
  char* arguments = ExpandShortcutArguments(setup, e.strings[kItemDesktopArgs]);
  if (!arguments) return;
  if (CreateShellLink(target, link, arguments, icon, 0) >= 0) {
    LogAction(setup, "shortcut", link);
    // The record keeps the name actually made for the uninstall record. Only
    // an extension of the same length is written over: a shorter one would
    // end the item early and renumber the items behind it.
    char* own = (char*)FileExtension(e.strings[kItemDesktopName]);
    const char* used = FileExtension(link);
    if (own && used && Length(own) == Length(used))
      for (uint32_t i = 0; used[i]; ++i) own[i] = used[i];
  }
  FreeBuffer(&arguments);
}
