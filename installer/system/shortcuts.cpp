#include "system/shortcuts.h"

#include "base/package_model.h"
#include "base/run_log.h"
#include "base/setup.h"
#include "format/block_ids.h"
#include "format/bytes.h"
#include "format/container.h"
#include "format/uninstall_log.h"
#include "package/entry_destination.h"
#include "platform/file_system.h"
#include "platform/shell_link.h"
#include "platform/system.h"
#include "system/uninstall_record.h"
#include "text/path_services.h"
#include "text/path_variables.h"

using namespace wrenly::format;

namespace {
const int kFolderPrograms = 2, kFolderStartup = 7, kFolderStartMenu = 11;
const int kFolderCommonDesktop = 0x19, kFolderDesktop = 0x10;

// The shortcuts block of the uninstall record: started before its first
// record, so a run without shortcuts writes none.
struct ShortcutBlock {
  Setup& setup;
  FileHandle file;  // the record, INVALID_FILE when none is written
  uint32_t start;
  uint32_t count;
  bool started;
};

uint32_t Length(const char* s) {
  uint32_t n = 0;
  while (s[n]) ++n;
  return n;
}

bool SameText(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char x = *a >= 'A' && *a <= 'Z' ? (char)(*a + 32) : *a;
    char y = *b >= 'A' && *b <= 'Z' ? (char)(*b + 32) : *b;
    if (x != y) return false;
    if (!x) return true;
  }
}

void RecordShortcut(ShortcutBlock& block, uint8_t depth, const char* folder, const char* name) {
  FileHandle file = block.file;
  if (file == INVALID_FILE) return;
  if (!block.started) {
    block.start = BeginRecordBlock(file);
    if (block.start == kSeekFailed) return;
    block.started = true;
  }
  if (FileWrite(file, &depth, 1) == 0 && WriteStringField(file, folder) == 0 && WriteStringField(file, name) == 0)
    ++block.count;
}

void FinishBlock(ShortcutBlock& block) {
  if (block.started) EndRecordBlock(block.file, block.start, kUninstallShortcuts, block.count);
}
}  // namespace

bool JoinPath(char* out, const char* folder, const char* name) {
  uint32_t n = Length(folder);
  return JoinText(out, kPathSize, folder, n && folder[n - 1] != '\\' ? "\\" : "", name);
}

bool DesktopFolder(uint32_t entryFlags, char* out) {
  int number = IsNtFamily() && (entryFlags & kFlagAllUsersDesktop) ? kFolderCommonDesktop : kFolderDesktop;
  return GetSpecialFolderPath(out, number) && out[0];
}

bool IsPlainFileName(const char* name) {
  for (const char* p = name; *p; ++p)
    if (*p == '\\' || *p == '/' || *p == ':') return false;
  return *name && !SameText(name, ".") && !SameText(name, "..");
}

bool ShortcutIconPath(Setup& setup, char* out, const char* item) {
  out[0] = 0;
  return !*item || JoinPath(out, setup.installFolder, item);
}

char* ExpandShortcutArguments(Setup& setup, const char* item) {
  uint32_t length = ExpandPathVariables(setup, nullptr, item, 0) + 1;
  if (length > kExpandWorkSize) length = kExpandWorkSize;
  char* arguments = nullptr;
  if (AllocBuffer(length, &arguments)) ExpandPathVariables(setup, arguments, item, length);
  return arguments;
}

void CreateShortcutInFolder(const char* target, const char* place, const char* name, const char* arguments,
                            const char* iconPath, int iconIndex, ShortcutBlock& block) {
  int number = kFolderPrograms;
  uint8_t depth = 0;
  if (SameText(place, "#Start Menu#")) {
    number = kFolderStartMenu;
  } else if (SameText(place, "#Startup#")) {
    number = kFolderStartup;
  } else {
    // A group stays below the Programs folder.
    if (NameLeavesFolder(place)) return;
    for (const char* p = place; *p; ++p) depth = (uint8_t)(depth + (*p == '\\'));
  }
  char folder[kPathSize], link[kPathSize];
  if (!GetSpecialFolderPath(folder, number) || !folder[0]) return;
  if (number == kFolderPrograms && *place && !JoinPath(folder, folder, place)) return;
  StripBackslash(folder);
  if (!JoinPath(link, folder, name)) return;
  // The chain of the link's folder part is the folder itself.
  if (EnterFolder(folder) != 0 && (CreateFolderChain(link) != 0 || EnterFolder(folder) != 0)) return;
  if (CreateShellLink(target, link, arguments, iconPath, iconIndex) < 0) return;
  LogAction(block.setup, "shortcut", link);
  // The name as saved: the shell may have given it a shorter extension.
  const char* saved = link;
  for (const char* p = link; *p; ++p)
    if (*p == '\\') saved = p + 1;
  RecordShortcut(block, depth, folder, saved);
}

void CreateStartMenuShortcuts(Setup& setup, FileHandle record) {
  ShortcutBlock block{setup, record, 0, 0, false};
  const uint8_t* cursor = setup.package.firstEntry;
  FileEntryView e;
  for (uint32_t i = 0; i < setup.package.entryCount && FindFileEntry(setup, cursor, &e); ++i) {
    cursor = e.record + e.recordSize;
    const char* name = e.strings[kItemMenuName];
    char icon[kPathSize], target[kPathSize];
    if (!IsPlainFileName(name) || !ShortcutIconPath(setup, icon, e.strings[kItemMenuIcon])) continue;
    ResolveEntryDestination(setup, e);
    // The shell takes no longer target.
    if (!setup.workPath[0] || !JoinPath(target, "", setup.workPath)) continue;
    char* arguments = ExpandShortcutArguments(setup, e.strings[kItemMenuArgs]);
    if (!arguments) continue;
    int iconIndex = LoadU16(e.record + file_entry::kIconIndex);
    // Places are split at ';'; one at the very end ends the list.
    const char* groups = e.strings[kItemMenuGroups];
    for (const char* at = groups;;) {
      char place[kPathSize];
      uint32_t n = 0;
      while (at[n] && at[n] != ';') ++n;
      if (n < kPathSize) {
        for (uint32_t k = 0; k < n; ++k) place[k] = at[k];
        place[n] = 0;
        CreateShortcutInFolder(target, place, name, arguments, icon, iconIndex, block);
      }
      if (!at[n] || !at[n + 1]) break;
      at += n + 1;
    }
    FreeBuffer(&arguments);
  }
  FinishBlock(block);
}
