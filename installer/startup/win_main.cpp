// The order of the whole run and its exit code.
#include <windows.h>

#include "format/settings.h"
#include "install/destination.h"
#include "package/package.h"
#include "package/package_model.h"
#include "platform/system_library.h"
#include "startup/command_line.h"
#include "startup/instance.h"
#include "startup/run_state.h"
#include "startup/temp_copy.h"
#include "system/run_items.h"
#include "ui/main_window.h"

namespace wf = wrenly::format;

namespace {

enum ExitCode { kExitOk = 0, kExitStartupFailed = -1, kExitRestartNeeded = -2 };

bool loaded;

int ResumedRun() {
  if (!LoadPackage()) return kExitStartupFailed;
  loaded = true;
  // The number comes from a command line the package did not write.
  if (!SelectInstallType(Options.resumeType - 1)) return kExitStartupFailed;
  RunItems(wf::kRunAfterInstall, kRunEverything, kInResumedRun);
  RunItems(wf::kRunAtFinishPage, kRunEverything, kInResumedRun);
  RunItems(wf::kRunAfterWizard, kRunEverything, kInResumedRun);
  if (RunAtEnd) RunItems(wf::kRunOnRequest, kRunProgramsOnly, kInResumedRun);
  return kExitOk;
}

bool StartedFromRemovableMedia(HINSTANCE instance) {
  GetModuleFileNameA(instance, WorkPath, kPathSize);
  if (WorkPath[1] == ':' && !(WorkPath[0] == '\\' && WorkPath[1] == '\\')) WorkPath[3] = 0;
  UINT type = GetDriveTypeA(WorkPath);
  return type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
}

void InstallScreenSaver() {
  if (SinglePageMode || ResultCode != 0 || !ScreenSaverEntry) return;
  ResolveDestination(ScreenSaverEntry);
  char command[kWorkPathSize + 64];
  wsprintfA(command, "rundll32 desk.cpl,InstallScreenSaver %s", WorkPath);
  WinExec(command, SW_SHOWNORMAL);
}

// Returns true when the computer is being restarted.
bool AskForRestart(int showCommand) {
  if (!SinglePageMode && !UserCancelled && HasItemsAfterRestart()) LaunchTempCopy(showCommand, true);
  INT_PTR answer =
      DialogBoxParamA(Instance, MAKEINTRESOURCEA(kRestartDialog), WizardFrame, RestartDialogProc, 0);
  if (answer != IDOK || SinglePageMode) return false;
  if (NtFamily) {
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES privileges = {};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
  }
  ExitWindowsEx(EWX_REBOOT, 0);
  return true;
}

int WizardRun(HINSTANCE instance, int showCommand) {
  if (!RegisterMainWindowClass()) return kExitStartupFailed;
  if (!Options.deleteSelf && StartedFromRemovableMedia(instance) && LaunchTempCopy(showCommand, false))
    return kExitOk;
  if (!LoadPackage()) return kExitStartupFailed;
  loaded = true;
  bool keepStyles = ThePackage.settings &&
                    (ThePackage.settings[wf::setup_settings::kOptions] & wf::kSetOptKeepVisualStyles);
  if (!keepStyles) ApplyThemePreference();
  if (!CreateMainWindow()) return kExitStartupFailed;
  RunWizard();

  InstallScreenSaver();
  if (MainWindow) ShowWindow(MainWindow, SW_HIDE);
  if (RestartNeeded && ResultCode == 0 && AskForRestart(showCommand)) return kExitOk;
  if (MainWindow) {
    DestroyWindow(MainWindow);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MainWindow = nullptr;
    WizardFrame = nullptr;
  }
  if (!SinglePageMode && !RestartNeeded && !UserCancelled && ResultCode == 0) {
    RunItems(wf::kRunAfterWizard, kRunEverything, kInThisRun);
    if (RunAtEnd) RunItems(wf::kRunOnRequest, kRunProgramsOnly, kInThisRun);
  }
  return kExitOk;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  RestrictDllSearch();
  if (!InitInstance(instance)) return kExitOk;
  ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  ParseCommandLine(commandLine);
  if (Options.deleteSelf) {
    GetModuleFileNameA(instance, WorkPath, kPathSize);
    MoveFileAtRestart(nullptr, WorkPath);
  }
  int exitCode = Options.resumeType >= 1 ? ResumedRun() : WizardRun(instance, showCommand);
  if (loaded) FreePackage();
  ReleaseInstance();
  if (exitCode == kExitOk) exitCode = ResultCode;
  if (RestartNeeded) exitCode = kExitRestartNeeded;
  return exitCode;
}
