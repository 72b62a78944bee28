#include "uninstaller/undo_run.h"

#include <string.h>

#include "format/names.h"
#include "platform/file_system.h"
#include "platform/restart_ops.h"
#include "platform/system.h"

namespace wrenly::uninstaller {
namespace {
using format::AsciiLower;
constexpr uint32_t kPathBuffer = 520;

// Start Menu, Programs, Startup, desktop, each for the user and for all
// users; Program Files, the application data folders, Documents, the
// profile: none may go even when an installation left it empty.
const int kShellFolders[] = {0x0B, 0x02, 0x07, 0x10, 0x16, 0x17, 0x18, 0x19, 0x26, 0x1A, 0x1C, 0x23, 0x05, 0x28};

void AddGuarded(UndoGuard* guard, const char* path) {
  if (guard->count < kGuardedFolders && GetFolderIdentity(path, &guard->folders[guard->count])) ++guard->count;
}

bool SameIdentity(const FolderIdentity& a, const FolderIdentity& b) {
  return a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
}

// "C:\" or "\\server\share\": what lies below it is the path's own.
uint32_t RootLength(const char* p) {
  if (p[0] && p[1] == ':') return p[2] == '\\' ? 3 : 2;
  if (p[0] != '\\' || p[1] != '\\') return 0;
  uint32_t i = 2, slashes = 0;
  for (; p[i]; ++i)
    if (p[i] == '\\' && ++slashes == 2) return i + 1;
  return i;
}

bool Copy(const char* path, char* out) {
  size_t n = strlen(path);
  if (n >= kPathBuffer) return false;
  memcpy(out, path, n + 1);
  return true;
}

// Whether a folder on the way to path (path itself too when whole) is a
// junction or a symbolic link: what lies behind it is not ours. A path too
// long to look at counts as one.
bool ThroughLink(const char* path, bool whole) {
  char p[kPathBuffer];
  if (!Copy(path, p)) return true;
  uint32_t root = RootLength(p);
  for (uint32_t i = root;; ++i) {
    char c = p[i];
    if ((c == '\\' || (c == 0 && whole)) && i > root) {
      p[i] = 0;
      uint32_t attributes = PathAttributes(p);
      p[i] = c;
      if (attributes == kNoAttributes) return false;  // nothing below it exists
      if (attributes & kAttributeReparsePoint) return true;
    }
    if (c == 0) return false;
  }
}

// The Windows, system or a shell folder, or the drive's root, under whatever
// name. A system that cannot tell a folder's identity has the names' check
// of the plan only.
bool Guarded(const UndoGuard& guard, const char* path) {
  FolderIdentity id, root;
  if (!GetFolderIdentity(path, &id)) return false;
  char r[kPathBuffer];
  if (!Copy(path, r)) return true;
  r[RootLength(r)] = 0;
  if (GetFolderIdentity(r, &root) && SameIdentity(root, id)) return true;
  for (uint32_t i = 0; i < guard.count; ++i)
    if (SameIdentity(guard.folders[i], id)) return true;
  return false;
}

StepOutcome AtRestart(const char* path) { return MoveFileAtRestart(nullptr, path) == 0 ? kStepAtRestart : kStepLeft; }

StepOutcome DeleteOneFile(const char* path) {
  uint32_t attributes = PathAttributes(path);
  if (attributes != kNoAttributes && (attributes & kAttributeFolder)) return kStepDone;  // not the file we made
  switch (RemoveFile(path)) {
    case kRemoved:
    case kRemoveMissing: return kStepDone;
    case kRemoveInUse: return AtRestart(path);
    default: return kStepLeft;
  }
}

// The count is lowered only when it is known: without one, another
// product may use the file and it stays.
StepOutcome DeleteSharedFile(const char* path, uint32_t view) {
  uint32_t count = 0;
  if (!QueryMachineDword(kSharedKey, path, &count, view)) return kStepDone;
  if (count > 1) return SetMachineDword(kSharedKey, path, count - 1, view) == 0 ? kStepDone : kStepLeft;
  DeleteMachineValue(kSharedKey, path, view);
  return DeleteOneFile(path);
}

StepOutcome DeleteFont(UndoRun* run, const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\') name = p + 1;
  RemoveFontFile(path);
  DeleteMachineValuesWithData(kFontsKeyNt, name, path);
  DeleteMachineValuesWithData(kFontsKey9x, name, path);
  run->fontsChanged = true;
  return DeleteOneFile(path);
}

StepOutcome DeleteFolder(const UndoRun& run, const char* path, bool group) {
  if (Guarded(*run.guard, path)) return group ? kStepDone : kStepLeft;  // a shell folder is never a group of ours
  switch (RemoveEmptyFolder(path)) {
    case kRemoved:
    case kRemoveMissing: return kStepDone;
    case kRemoveNotEmpty: return kStepNotEmpty;
    case kRemoveInUse: return IsNtFamily() ? AtRestart(path) : kStepLeft;
    default: return kStepLeft;
  }
}

bool Gone(int result) { return result == kRemoved || result == kRemoveMissing; }

// What the removal left empty goes too, parents first tried after their
// child, up to the vendor's key: an empty "Software\Vendor\Product" is
// clutter, a key of the system's is not ours to judge.
StepOutcome Registry(const UndoStep& s, uint32_t root, int result) {
  if (!Gone(result)) return kStepLeft;
  char key[kPathBuffer];
  uint32_t floor = EmptyKeyFloor(s.root, s.path), parts = 1;
  if (!floor || !Copy(s.path, key)) return kStepDone;
  uint32_t n = (uint32_t)strlen(key);
  while (n > 0 && key[n - 1] == '\\') key[--n] = 0;
  for (uint32_t i = 0; i < n; ++i) parts += key[i] == '\\';
  for (bool first = true; parts >= floor; first = false, --parts) {
    if (!first || s.kind == kUndoRegistryValue)
      if (!Gone(DeleteEmptyRegistryKey(root, key))) break;
    while (n > 0 && key[n - 1] != '\\') --n;
    key[n > 0 ? --n : 0] = 0;
  }
  return kStepDone;
}

StepOutcome RunOnFiles(UndoRun* run, const UndoStep& s, bool wide) {
  bool folder = s.kind == kUndoGroup || s.kind == kUndoFolder;
  if (ThroughLink(s.path, folder)) return kStepLeft;
  switch (s.kind) {
    case kUndoUnregister: {
      uint32_t attributes = PathAttributes(s.path);
      if (attributes != kNoAttributes && !(attributes & kAttributeFolder)) CallComponentServer(s.path, 0, wide);
      return kStepDone;
    }
    case kUndoSharedFile: return DeleteSharedFile(s.path, wide ? kRootWideView : 0);
    case kUndoFont: return DeleteFont(run, s.path);
    case kUndoGroup:
    case kUndoFolder: return DeleteFolder(*run, s.path, s.kind == kUndoGroup);
    default: return DeleteOneFile(s.path);
  }
}

StepOutcome Run(UndoRun* run, const UndoStep& s) {
  if (s.refusal != kPathGood) return kStepLeft;
  bool wide = s.wide && run->wideWindows;
  uint32_t root = wide ? s.root | kRootWideView : s.root;
  switch (s.kind) {
    case kUndoRegistryKey: return Registry(s, root, DeleteRegistryTree(root, s.path));
    case kUndoRegistryValue: return Registry(s, root, DeleteRegistryValue(root, s.path, s.name));
    case kUndoIniValue: return DeleteIniValue(s.path, s.name, s.key), kStepDone;
    default: break;
  }
  NativeFolder native;
  BeginNativeFolder(&native, s.path, wide);
  StepOutcome outcome = RunOnFiles(run, s, wide);
  EndNativeFolder(&native);
  return outcome;
}

bool Below(const char* path, const char* folder) {
  size_t n = strlen(folder);
  while (n > 0 && folder[n - 1] == '\\') --n;
  if (!path || strlen(path) <= n || path[n] != '\\') return false;
  for (size_t i = 0; i < n; ++i)
    if (AsciiLower(path[i]) != AsciiLower(folder[i])) return false;
  return true;
}

// A folder that still holds a file going at the restart goes after it.
bool HoldsRestartFile(const UndoRun& run, const char* folder, const char* ownFile) {
  if (Below(ownFile, folder)) return true;
  for (uint32_t i = 0; i < run.plan->count; ++i)
    if (run.outcomes[i] == kStepAtRestart && Below(run.plan->steps[i].path, folder)) return true;
  return false;
}

StepOutcome Retry(const UndoRun& run, const char* path, bool group, const char* ownFile) {
  StepOutcome outcome = DeleteFolder(run, path, group);
  if (outcome == kStepNotEmpty && IsNtFamily() && HoldsRestartFile(run, path, ownFile)) return AtRestart(path);
  return outcome;
}
}  // namespace

void CollectGuardedFolders(UndoGuard* guard) {
  guard->count = 0;
  char path[kPathBuffer];
  if (GetWindowsFolder(path)) AddGuarded(guard, path);
  if (GetSystemFolder(path)) {
    AddGuarded(guard, path);
    // A 64-bit product's steps see the real one.
    NativeFolder native;
    BeginNativeFolder(&native, path, true);
    if (native.off) AddGuarded(guard, path);
    EndNativeFolder(&native);
  }
  for (int number : kShellFolders)
    if (GetSpecialFolderPath(path, number)) AddGuarded(guard, path);
}

int BeginUndoRun(UndoRun* run, const UndoPlan* plan, const UndoGuard* guard) {
  memset(run, 0, sizeof *run);
  run->plan = plan;
  run->guard = guard;
  run->wideWindows = Is64BitWindows();
  return AllocZeroed(plan->count + 1, &run->outcomes);
}

int RunNextStep(UndoRun* run) {
  if (run->next >= run->plan->count) {
    if (run->fontsChanged) BroadcastFontChange();
    run->fontsChanged = false;
    return 0;
  }
  uint32_t i = run->next++;
  run->outcomes[i] = Run(run, run->plan->steps[i]);
  return 1;
}

void RetryFolders(UndoRun* run, const char* installFolder, const char* ownFile) {
  for (uint32_t i = 0; i < run->plan->count; ++i) {
    const UndoStep& s = run->plan->steps[i];
    if (run->outcomes[i] != kStepNotEmpty) continue;
    NativeFolder native;
    BeginNativeFolder(&native, s.path, s.wide && run->wideWindows);
    run->outcomes[i] = Retry(*run, s.path, s.kind == kUndoGroup, ownFile);
    EndNativeFolder(&native);
  }
  if (installFolder && !ThroughLink(installFolder, true)) Retry(*run, installFolder, false, ownFile);
}

void EndUndoRun(UndoRun* run) { FreeBuffer(&run->outcomes); }

namespace {
// Results are small numbers; a report carries this bit.
constexpr uint32_t kReportBit = 0x80000000u;
}  // namespace

uint32_t StepReport(StepOutcome outcome) { return kReportBit | outcome; }

int TakeCopyMessage(UndoRun* run, uint32_t message, uint32_t* result) {
  if (!(message & kReportBit)) return *result = message, 1;
  if (run->next < run->plan->count) run->outcomes[run->next++] = (StepOutcome)(message & 0xFF);
  return 0;
}

void SkipInterruptedStep(UndoRun* run) {
  if (run->next >= run->plan->count) return;
  UndoKind kind = run->plan->steps[run->next].kind;
  if (kind == kUndoSharedFile || kind == kUndoUnregister) run->outcomes[run->next++] = kStepLeft;
}

uint32_t UndoExitCode(const UndoRun& run) {
  bool restart = false;
  for (uint32_t i = 0; i < run.plan->count; ++i) {
    if (run.outcomes[i] == kStepLeft) return kExitPartial;
    restart = restart || run.outcomes[i] == kStepAtRestart;
  }
  return restart ? kExitRestart : kExitDone;
}

}  // namespace wrenly::uninstaller
