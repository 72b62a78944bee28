// The uninstaller program: what its parts share.
#pragma once
#include <windows.h>

#include "format/uninstall_log.h"
#include "platform/files.h"
#include "uninstaller/command_line.h"
#include "uninstaller/undo_run.h"

namespace wrenly::uninstaller {

struct Program {
  HINSTANCE instance;
  UninstallCommand command;
  char ownPath[MAX_PATH];
  const char* originalPath;  // the installed uninstaller: ownPath, or the copy's original
  uint8_t* bytes;
  uint32_t size;
  TextView place;
  const char* texts[format::kUninstallerTextCount];  // never null
  char installFolder[MAX_PATH];
  FileHandle log;  // /L, INVALID_FILE when none; the copy adds to its original's
};

// A file whole into a new buffer; 1 on success.
int ReadWholeFile(const char* path, uint8_t** bytes, uint32_t* size);
// Reads and checks this program's own file, then takes its texts, each
// falling back to the program's own wording. kExitDone, or the exit code.
uint32_t LoadOwnFile(Program* p);
// A message box with the title as caption; none when silent. Its answer.
int Say(const Program& p, format::UninstallerText text, UINT style);

// Builds the plan and opens its run: kExitDone, or kExitFailed when memory
// ran out.
uint32_t PlanRemoval(Program* p, UndoPlan* plan, UndoRun* run, UndoGuard* guard);
// An upgrade's plan: the steps of the record in /P (installed to /F) that
// this program's own record does not take as well.
uint32_t PlanPreviousRemoval(Program* p, UndoPlan* plan, UndoRun* run, UndoGuard* guard);
// Runs the steps from where the run stands, with the progress window unless
// silent, and says how it went; the copy reports each step to the original.
// The run is left open for the folders' second try.
uint32_t CarryOutRemoval(Program* p, UndoRun* run);

// The original: makes the temporary copy, follows its steps and takes its
// result: 1 then. 0 when no copy could run or the copy ended without a
// result: the run stands where the copy left it, for the original to go on.
int HandOver(Program* p, UndoRun* run, uint32_t* result);
// The copy, after the removal: hands the result over, waits for the original
// to end and removes it, its folders and, at the restart, itself.
void FinishAsCopy(Program* p, UndoRun* run, uint32_t result);
// The original when no copy finished: it and its folder go at the restart.
void FinishInPlace(Program* p, UndoRun* run);

}  // namespace wrenly::uninstaller
