// The uninstaller: the original checks its record and asks, then lets a copy
// in the temporary folder do the removal, so that its own file and folder
// can go too. The exit code tells scripts how it went.
#include "platform/log_file.h"
#include "platform/removal.h"
#include "platform/system_library.h"
#include "uninstaller/win/program.h"

using namespace wrenly::uninstaller;
using namespace wrenly::format;

namespace {
const char kUsage[] =
    "Usage: uninstall.exe [/Q] [/L PATH]\n\n/Q  removes the program without asking and without any window; "
    "the exit code tells how it went (/S does the same).\n/L  writes what was removed into the file PATH.";

// An upgrade: the version this one replaced leaves what only it had. Its
// folder goes when it is not this one's and nothing else is in it.
uint32_t RemovePrevious(Program* p) {
  UndoPlan plan = {};
  UndoRun run = {};
  UndoGuard guard;
  uint32_t result = PlanPreviousRemoval(p, &plan, &run, &guard);
  if (result == kExitDone) {
    result = CarryOutRemoval(p, &run);
    const char* folder = p->command.previousFolder;
    RetryFolders(&run, lstrcmpiA(folder, p->installFolder) ? folder : nullptr, nullptr);
  }
  EndUndoRun(&run);
  FreeUndoPlan(&plan);
  return result;
}

uint32_t Run(Program* p) {
  uint32_t loaded = LoadOwnFile(p);  // the texts first: the messages below use them
  if (loaded == kExitFailed) return loaded;
  // Only the original holds the mutex: its copy runs while it waits.
  if (!p->command.copy && !TakeNamedMutex("WrenlyUninstaller")) {
    Say(*p, kTextRunning, MB_ICONSTOP);
    return p->command.quiet ? kExitAnotherRunning : kExitRunning;
  }
  if (loaded == kExitDamaged) Say(*p, kTextDamaged, MB_ICONSTOP);
  if (loaded != kExitDone) return loaded;
  if (*p->command.previous) return RemovePrevious(p);
  if (!p->command.copy && Say(*p, kTextQuestion, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDNO)
    return kExitDeclined;
  UndoPlan plan = {};
  UndoRun run = {};
  UndoGuard guard;
  uint32_t result = PlanRemoval(p, &plan, &run, &guard);
  bool handedOver = false;
  if (result == kExitDone && !p->command.copy) {
    // The copy writes to the same log while this one waits for it.
    if (p->log != INVALID_FILE) FileClose(p->log);
    handedOver = HandOver(p, &run, &result);
    p->log = *p->command.log ? OpenLogFile(p->command.log, true) : INVALID_FILE;
  }
  if (result == kExitDone && !handedOver) {
    result = CarryOutRemoval(p, &run);
    if (p->command.copy) FinishAsCopy(p, &run, result);
    else FinishInPlace(p, &run);
  }
  EndUndoRun(&run);
  FreeUndoPlan(&plan);
  return result;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR line, int) {
  RestrictDllSearch();
  static Program program;
  program.instance = instance;
  bool understood = ParseUninstallCommand(line, &program.command);
  const UninstallCommand& command = program.command;
  program.log = *command.log ? OpenLogFile(command.log, command.copy) : INVALID_FILE;
  WriteLogLine(program.log, command.copy ? "the temporary copy runs" : "command line", line, nullptr);
  uint32_t result = kExitFailed;
  if (understood) result = Run(&program);
  else if (!command.silent) MessageBoxA(nullptr, kUsage, "Uninstall", MB_ICONINFORMATION);
  WriteLogNumber(program.log, "exit code", (int)result, nullptr);
  if (program.log != INVALID_FILE) FileClose(program.log);
  return (int)result;
}
