#include "system/registration.h"

#include <string.h>

#include "base/package_model.h"
#include "base/run_log.h"
#include "base/setup.h"
#include "format/file_entry.h"
#include "package/entry_destination.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "system/run_once.h"
#include "text/path_services.h"

using namespace wrenly::format;

namespace {
bool EndsWith(const char* s, size_t n, const char* tail) {
  for (uint32_t i = 0; i < 4; ++i) {
    char c = s[n - 4 + i];
    if (c >= 'A' && c <= 'Z') c = (char)(c + 32);
    if (c != tail[i]) return false;
  }
  return true;
}

// The path in quotes; the buffer fits any work path, so a long path is
// never cut into another command.
void StartTool(Setup& setup, const char* head) {
  char command[kWorkPathSize + 16];
  if (!JoinText(command, sizeof command, head, setup.workPath, "\"")) return;
  StartCommand(command, kShowNormal);
  LogAction(setup, "registration started", command);
}

// A 64-bit product's script goes to the 64-bit view: the Windows folder's
// regedit is the system's own bitness, the one found on the path a
// 32-bit program's.
void ImportRegistryScript(Setup& setup) {
  char windows[kPathSize], head[kPathSize + 16];
  if (!setup.wideView) return StartTool(setup, "regedit -s \"");
  if (GetWindowsFolder(windows) && JoinText(head, sizeof head, "\"", windows, "\\regedit.exe\" -s \""))
    StartTool(setup, head);
}

// The library that replaces setup.workPath at the next start registers itself then.
void RegisterAtRestart(Setup& setup) {
  // Longer paths cannot be loaded by the system at all.
  if (strlen(setup.workPath) >= kPathSize) return;
  char shortPath[kPathSize], command[kPathSize + 16];
  GetShortPath(setup.workPath, shortPath);
  if (JoinText(command, sizeof command, "regsvr32 /s \"", shortPath, "\"")) AddRunOnceCommand(setup, command);
}
}  // namespace

int ComponentKindOf(const char* path) {
  size_t n = strlen(path);
  if (n <= 4) return kComponentServer;
  if (EndsWith(path, n, ".reg")) return kComponentRegistryScript;
  if (EndsWith(path, n, ".tlb")) return kComponentTypeLibrary;
  return kComponentServer;
}

void RegisterComponent(Setup& setup, int registering) {
  CallComponentServer(setup.workPath, registering, setup.wideView);
  LogAction(setup, registering ? "registered" : "unregistered", setup.workPath);
}

void RegisterComponents(Setup& setup) {
  const uint8_t* at = setup.package.firstEntry;
  FileEntryView e;
  for (uint32_t i = 0; i < setup.package.entryCount && FindFileEntry(setup, at, &e);
       ++i, at = e.record + e.recordSize) {
    if (!(e.flags & kFlagSelfRegister)) continue;
    ResolveEntryDestination(setup, e);
    if (!setup.workPath[0]) continue;
    int kind = ComponentKindOf(setup.workPath);
    uint16_t status = LoadU16(e.record + file_entry::kStatus);
    if (kind == kComponentRegistryScript) ImportRegistryScript(setup);
    else if (kind == kComponentTypeLibrary) StartTool(setup, "regtlib -q \"");
    else if (status == kOutcomeReplaced || status == kOutcomeCreated) RegisterComponent(setup, 1);
    else if (status == kOutcomeAtRestart) RegisterAtRestart(setup);
  }
}
