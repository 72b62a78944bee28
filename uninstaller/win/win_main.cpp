// The uninstaller: the original checks its record and asks, then lets a copy
// in the temporary folder do the removal, so that its own file and folder
// can go too. The exit code tells scripts how it went.
#include "platform/removal.h"
#include "platform/system_library.h"
#include "uninstaller/win/program.h"

using namespace wrenly::uninstaller;
using namespace wrenly::format;

namespace {
const char kUsage[] =
    "Usage: uninstall.exe [/S]\n\n/S  removes the program without asking and without any window; "
    "the exit code tells how it went.";

uint32_t Run(Program* p) {
  uint32_t loaded = LoadOwnFile(p);  // the texts first: the messages below use them
  if (loaded == kExitFailed) return loaded;
  // Only the original holds the mutex: its copy runs while it waits.
  if (!p->command.copy && !TakeNamedMutex("WrenlyUninstaller")) return Say(*p, kTextRunning, MB_ICONSTOP), kExitRunning;
  if (loaded == kExitDamaged) Say(*p, kTextDamaged, MB_ICONSTOP);
  if (loaded != kExitDone) return loaded;
  if (!p->command.copy && Say(*p, kTextQuestion, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDNO)
    return kExitDeclined;
  UndoPlan plan = {};
  UndoRun run = {};
  UndoGuard guard;
  uint32_t result = PlanRemoval(p, &plan, &run, &guard);
  if (result == kExitDone && (p->command.copy || !HandOver(p, &run, &result))) {
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
  if (!ParseUninstallCommand(line, &program.command)) {
    if (!program.command.silent) MessageBoxA(nullptr, kUsage, "Uninstall", MB_ICONINFORMATION);
    return kExitFailed;
  }
  return (int)Run(&program);
}
