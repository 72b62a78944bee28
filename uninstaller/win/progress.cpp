// The removal with its progress window: the "removing" text above a bar,
// the window answered between steps.
#include <windows.h>

#include <commctrl.h>

#include "platform/files.h"
#include "platform/log_file.h"
#include "platform/system.h"
#include "platform/system_library.h"
#include "uninstaller/win/program.h"

namespace wrenly::uninstaller {
namespace {
using namespace wrenly::format;

constexpr int kProgressDialog = 100, kRemovingText = 101, kProgressBar = 102;

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

HWND OpenProgress(const Program& p) {
  RegisterProgressBarClass();
  HWND window = CreateDialogParamA(p.instance, MAKEINTRESOURCEA(kProgressDialog), nullptr, DialogProc, 0);
  if (!window) return nullptr;
  SetWindowTextA(window, p.texts[kTextTitle]);
  SetDlgItemTextA(window, kRemovingText, p.texts[kTextRemoving]);
  SendDlgItemMessageA(window, kProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  return window;
}

void Pump(HWND window) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    if (!IsDialogMessageA(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
}

// The folders a shortcut group may lie below: this machine's Start menu,
// Programs, Startup and desktop, the user's and all users', and the usual
// places of other accounts' menus.
constexpr int kMenuFolders[] = {0x0B, 0x02, 0x07, 0x10, 0x16, 0x17, 0x18, 0x19};
constexpr uint32_t kMenuCount = sizeof kMenuFolders / sizeof *kMenuFolders;
struct Folders {
  char windows[MAX_PATH], system[MAX_PATH], menus[kMenuCount][MAX_PATH];
  const char* menuList[kMenuCount + kTypicalMenuFolderCount];
  UndoFolders Collect(const Program& p) {
    if (!GetWindowsFolder(windows)) windows[0] = 0;
    if (!GetSystemFolder(system)) system[0] = 0;
    uint32_t n = 0;
    for (uint32_t i = 0; i < kMenuCount; ++i)
      if (GetSpecialFolderPath(menus[i], kMenuFolders[i])) menuList[n++] = menus[i];
    for (const char* typical : kTypicalMenuFolders) menuList[n++] = typical;
    return UndoFolders{p.installFolder, windows, system, menuList, n};
  }
};

// A line for the step just run: what, where, and how it ended.
void LogStep(FileHandle log, const UndoStep& step, StepOutcome outcome) {
  if (log == INVALID_FILE) return;
  static const char* const kWhat[] = {"unregistered", "file",   "shared file",  "font",           "shortcut",
                                      "group",        "folder", "registry key", "registry value", "INI value"};
  static const char* const kOutcome[] = {"not run", "done", "left", "at the next restart", "not empty yet"};
  static const char* const kRoots[] = {"HKCR", "HKCU", "HKLM", "HKU"};
  const char* root = step.root < 4 ? kRoots[step.root] : "HKCU";
  char detail[3 * MAX_PATH + 16];
  if (step.kind == kUndoRegistryKey) wsprintfA(detail, "%s\\%.259s", root, step.path);
  else if (step.kind == kUndoRegistryValue) wsprintfA(detail, "%s\\%.259s\\%.259s", root, step.path, step.name);
  else if (step.kind == kUndoIniValue) wsprintfA(detail, "%.259s [%.259s] %.259s", step.path, step.name, step.key);
  else wsprintfA(detail, "%.259s", step.path);
  WriteLogLine(log, kWhat[step.kind], detail, kOutcome[outcome]);
}
}  // namespace

uint32_t PlanRemoval(Program* p, UndoPlan* plan, UndoRun* run, UndoGuard* guard) {
  Folders folders;
  if (!BuildUndoPlan(p->bytes, p->size, folders.Collect(*p), plan)) return kExitFailed;
  CollectGuardedFolders(guard);
  return BeginUndoRun(run, plan, guard) ? kExitDone : kExitFailed;
}

uint32_t PlanPreviousRemoval(Program* p, UndoPlan* plan, UndoRun* run, UndoGuard* guard) {
  uint8_t* bytes = nullptr;
  uint32_t size = 0;
  if (!ReadWholeFile(p->command.previous, &bytes, &size)) return kExitFailed;
  UninstallFile file;
  uint32_t result = ReadUninstallFile(bytes, size, nullptr, &file) == kRecordGood ? kExitDone : kExitDamaged;
  Folders folders;
  UndoFolders own = folders.Collect(*p), previous = own;
  previous.install = p->command.previousFolder;
  UndoPlan newer = {};
  if (result == kExitDone &&
      (!BuildUndoPlan(bytes, size, previous, plan) || !BuildUndoPlan(p->bytes, p->size, own, &newer)))
    result = kExitFailed;
  FreeBuffer(&bytes);
  if (result != kExitDone) return result;
  SubtractPlan(plan, newer);
  FreeUndoPlan(&newer);
  CollectGuardedFolders(guard);
  return BeginUndoRun(run, plan, guard) ? kExitDone : kExitFailed;
}

uint32_t CarryOutRemoval(Program* p, UndoRun* run) {
  HWND window = p->command.silent ? nullptr : OpenProgress(*p);
  void* pipe = p->command.copy ? (void*)(uintptr_t)p->command.pipe : nullptr;
  while (RunNextStep(run)) {
    LogStep(p->log, run->plan->steps[run->next - 1], run->outcomes[run->next - 1]);
    if (pipe) {
      uint32_t report = StepReport(run->outcomes[run->next - 1]);
      FileWrite(pipe, &report, sizeof report);
    }
    if (!window) continue;
    SendDlgItemMessageA(window, kProgressBar, PBM_SETPOS, (WPARAM)(run->next * 100u / run->plan->count), 0);
    Pump(window);
  }
  if (window) DestroyWindow(window);
  uint32_t result = UndoExitCode(*run);
  Say(*p,
      result == kExitDone      ? kTextDone
      : result == kExitRestart ? kTextRestart
                               : kTextPartial,
      result == kExitPartial ? MB_ICONWARNING : MB_ICONINFORMATION);
  return result;
}

}  // namespace wrenly::uninstaller
