// Carrying out an undo plan, one step at a time so that a window can show
// the progress between steps. Never through a link, never a folder the
// system or the shell owns, never a shared file whose use count is unknown.
#pragma once
#include <stdint.h>

#include "platform/removal.h"
#include "uninstaller/undo_plan.h"

namespace wrenly::uninstaller {

enum StepOutcome : uint8_t {
  kStepPending = 0,
  kStepDone,       // removed, already gone, or deliberately kept (a shared file still in use elsewhere)
  kStepLeft,       // refused, through a link, a protected folder, or failed
  kStepAtRestart,  // in use: goes at the next restart
  kStepNotEmpty,   // a folder still holding something: tried again at the end
};

// Folders no step may remove whatever their name: the Windows and system
// folders and the shell's own folders, by identity.
inline constexpr uint32_t kGuardedFolders = 16;
struct UndoGuard {
  FolderIdentity folders[kGuardedFolders];
  uint32_t count;
};
void CollectGuardedFolders(UndoGuard* guard);

struct UndoRun {
  const UndoPlan* plan;
  const UndoGuard* guard;
  StepOutcome* outcomes;  // one per step
  uint32_t next;          // the next step to run
  bool fontsChanged;
  bool wideWindows;  // 64-bit Windows: a 64-bit product's steps use its views
};

// 1 on success, 0 when memory ran out.
int BeginUndoRun(UndoRun* run, const UndoPlan* plan, const UndoGuard* guard);
// Runs the next step; 0 when none was left (the fonts change is announced then).
int RunNextStep(UndoRun* run);
// Once the program's own file is gone, or goes at the restart (ownFile, may
// be null), the folders that held something are tried again, then the
// installation folder (may be null); one still holding a file that goes at
// the restart goes at the restart after it.
void RetryFolders(UndoRun* run, const char* installFolder, const char* ownFile);
void EndUndoRun(UndoRun* run);

// The temporary copy tells the original each step's outcome as it goes, then
// the run's result, so that the original can carry on where a copy that
// ended without a result stopped.
uint32_t StepReport(StepOutcome outcome);
// Takes one message of the copy: 1 when it was the result (*result set).
int TakeCopyMessage(UndoRun* run, uint32_t message, uint32_t* result);
// Before the original carries on: the step the copy was in when it ended
// counts as left where doing it again could do harm (a shared count lowered
// twice, the product's own code, which may be what ended the copy).
void SkipInterruptedStep(UndoRun* run);

enum UninstallExit : uint32_t {
  kExitDone = 0,
  kExitDeclined = 1,
  kExitRunning = 2,
  kExitDamaged = 3,
  kExitPartial = 4,
  kExitFailed = 5,
  kExitAnotherRunning = 1618,  // with /Q: another uninstaller is running
  kExitRestart = 3010,
};
// The run's result once every step ran: something left wins over a restart.
uint32_t UndoExitCode(const UndoRun& run);

}  // namespace wrenly::uninstaller
