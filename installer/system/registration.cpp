#include "system/registration.h"

#include <string.h>

#include "format/file_entry.h"
#include "install/destination.h"
#include "package/package_model.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "startup/run_state.h"
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
void StartTool(const char* head) {
  char command[kWorkPathSize + 16];
  if (JoinText(command, sizeof command, head, WorkPath, "\"")) StartCommand(command, kShowNormal);
}

// The library that replaces WorkPath at the next start registers itself then.
void RegisterAtRestart() {
  // Longer paths cannot be loaded by the system at all.
  if (strlen(WorkPath) >= kPathSize) return;
  char shortPath[kPathSize], command[kPathSize + 16];
  GetShortPath(WorkPath, shortPath);
  if (JoinText(command, sizeof command, "regsvr32 /s \"", shortPath, "\"")) AddRunOnceCommand(command);
}
}  // namespace

int ComponentKindOf(const char* path) {
  size_t n = strlen(path);
  if (n <= 4) return kComponentServer;
  if (EndsWith(path, n, ".reg")) return kComponentRegistryScript;
  if (EndsWith(path, n, ".tlb")) return kComponentTypeLibrary;
  return kComponentServer;
}

void RegisterComponent(int registering) { CallComponentServer(WorkPath, registering); }

void RegisterComponents() {
  const uint8_t* at = ThePackage.firstEntry;
  FileEntryView e;
  for (uint32_t i = 0; i < ThePackage.entryCount && FindFileEntry(at, &e); ++i, at = e.record + e.recordSize) {
    if (!(e.flags & kFlagSelfRegister)) continue;
    ResolveEntryDestination(e);
    if (!WorkPath[0]) continue;
    int kind = ComponentKindOf(WorkPath);
    uint16_t status = LoadU16(e.record + file_entry::kStatus);
    if (kind == kComponentRegistryScript) StartTool("regedit -s \"");
    else if (kind == kComponentTypeLibrary) StartTool("regtlib -q \"");
    else if (status == kOutcomeReplaced || status == kOutcomeCreated) RegisterComponent(1);
    else if (status == kOutcomeAtRestart) RegisterAtRestart();
  }
}
