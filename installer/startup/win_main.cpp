// The order of the whole run and its exit code.
#include <windows.h>

#include "base/display.h"
#include "base/package_model.h"
#include "base/run_log.h"
#include "base/setup.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "package/entry_destination.h"
#include "package/installed_product.h"
#include "package/package.h"
#include "platform/file_system.h"
#include "platform/system.h"
#include "platform/system_library.h"
#include "startup/command_line.h"
#include "startup/exit_code.h"
#include "startup/instance.h"
#include "startup/temp_copy.h"
#include "system/run_items.h"
#include "ui/main_window.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

// Before any page: a product this Windows cannot hold, or one described in
// values this program does not know, is not installed at all. 0, or the
// exit code.
int ProductFitsSystem(Setup& setup) {
  const Package& p = setup.package;
  const char* refusal = nullptr;
  if (p.architecture >= wf::kArchitectureCount || p.scope >= wf::kScopeCount)
    refusal = "This product needs a newer setup program.";
  else if (p.architecture == wf::kArchitectureX64 && !Is64BitWindows())
    refusal = "This product needs a 64-bit version of Windows.";
  if (refusal) AskUser(setup, refusal, kMessageInformation, kAnswerOk);
  return refusal ? kExitUnsupportedSystem : 0;
}

// A newer version stays unless the package allows going back. 0, or the
// exit code.
int InstalledVersionAllows(Setup& setup) {
  FindInstalledProduct(setup);
  if (setup.installed.state == kInstalledNewer && !(setup.package.identityFlags & wf::kIdentityAllowDowngrade)) {
    char text[96 + kVersionTextSize];
    wsprintfA(text, "A newer version (%s) of this product is already installed.", setup.installed.version);
    AskUser(setup, text, kMessageInformation, kAnswerOk);
    return kExitNewerInstalled;
  }
  return 0;
}

int ResumedRun(Setup& setup) {
  if (!LoadPackage(setup)) return kExitStartupFailed;
  if (int refused = ProductFitsSystem(setup)) return refused;
  // The number comes from a command line the package did not write.
  if (!SelectInstallType(setup, setup.options.resumeType - 1)) return kExitStartupFailed;
  RunItems(setup, wf::kRunAfterInstall, kRunEverything, kInResumedRun);
  RunItems(setup, wf::kRunAtFinishPage, kRunEverything, kInResumedRun);
  RunItems(setup, wf::kRunAfterWizard, kRunEverything, kInResumedRun);
  if (setup.runAtEnd) RunItems(setup, wf::kRunOnRequest, kRunProgramsOnly, kInResumedRun);
  return kExitOk;
}

bool StartedFromRemovableMedia(Setup& setup, HINSTANCE instance) {
  GetModuleFileNameA(instance, setup.workPath, kPathSize);
  if (setup.workPath[1] == ':' && !(setup.workPath[0] == '\\' && setup.workPath[1] == '\\')) setup.workPath[3] = 0;
  UINT type = GetDriveTypeA(setup.workPath);
  return type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
}

void InstallScreenSaver(Setup& setup) {
  if (setup.options.quiet || setup.singlePageMode || setup.resultCode != 0 || !setup.run.screenSaverEntry) return;
  ResolveDestination(setup, setup.run.screenSaverEntry);
  char command[kWorkPathSize + 64];
  wsprintfA(command, "rundll32 desk.cpl,InstallScreenSaver %s", setup.workPath);
  WinExec(command, SW_SHOWNORMAL);
}

// Returns true when the computer is being restarted.
bool AskForRestart(Setup& setup, int showCommand) {
  if (!setup.singlePageMode && !setup.userCancelled && HasItemsAfterRestart(setup))
    LaunchTempCopy(setup, showCommand, true);
  INT_PTR answer = DialogBoxParamA(setup.wizard->instance, MAKEINTRESOURCEA(kRestartDialog), setup.wizard->wizardFrame,
                                   RestartDialogProc, (LPARAM)&setup);
  if (answer != IDOK || setup.singlePageMode) return false;
  if (IsNtFamily()) {
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

// A quiet run asks no question and never restarts the machine: what must
// run after the restart is registered for it, and the exit code says a
// restart is needed.
void LeaveRestartToCaller(Setup& setup, int showCommand) {
  if (!setup.singlePageMode && HasItemsAfterRestart(setup)) LaunchTempCopy(setup, showCommand, true);
}

int WizardRun(Setup& setup, HINSTANCE instance, int showCommand) {
  if (!RegisterMainWindowClass(setup)) return kExitStartupFailed;
  if (!setup.options.deleteSelf && StartedFromRemovableMedia(setup, instance)) {
    // The copy writes to the same log while this run waits for it.
    LogAction(setup, "started from a removable medium", "a temporary copy installs");
    CloseRunLog(setup);
    int copyExit = kExitOk;
    bool handedOver = LaunchTempCopy(setup, showCommand, false, &copyExit);
    OpenRunLog(setup, true);
    if (handedOver) return copyExit;
  }
  if (!LoadPackage(setup)) return kExitStartupFailed;
  if (int refused = ProductFitsSystem(setup)) return refused;
  if (int refused = InstalledVersionAllows(setup)) return refused;
  if (!ApplyCommandChoices(setup)) return kExitBadCommandLine;
  if (setup.options.quiet == kQuiet) {
    // One page only shows something and installs nothing: nothing to do.
    if (!setup.singlePageMode) RunInstallationHeadless(setup);
  } else {
    bool keepStyles =
        setup.package.settings && (setup.package.settings[wf::setup_settings::kOptions] & wf::kSetOptKeepVisualStyles);
    if (!keepStyles) ApplyThemePreference(setup);
    if (!CreateMainWindow(setup)) return kExitStartupFailed;
    RunWizard(setup);
  }

  InstallScreenSaver(setup);
  if (setup.wizard->mainWindow) ShowWindow(setup.wizard->mainWindow, SW_HIDE);
  if (setup.restartNeeded && setup.resultCode == 0) {
    if (setup.options.quiet) LeaveRestartToCaller(setup, showCommand);
    else if (AskForRestart(setup, showCommand)) return FinalExitCode(setup);
  }
  if (setup.wizard->mainWindow) {
    DestroyWindow(setup.wizard->mainWindow);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    setup.wizard->mainWindow = nullptr;
    setup.wizard->wizardFrame = nullptr;
  }
  // The programs of the end are the person's to see, and a quiet run has none.
  if (!setup.options.quiet && !setup.singlePageMode && !setup.restartNeeded && !setup.userCancelled &&
      setup.resultCode == 0) {
    RunItems(setup, wf::kRunAfterWizard, kRunEverything, kInThisRun);
    if (setup.runAtEnd) RunItems(setup, wf::kRunOnRequest, kRunProgramsOnly, kInThisRun);
  }
  return FinalExitCode(setup);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  Setup setup;
  Wizard wizard = {};
  InitSetup(setup);
  wizard.currentPageKind = -1;
  setup.wizard = &wizard;
  RestrictDllSearch();
  if (!InitInstance(setup, instance)) return kExitAlreadyRunning;
  setup.wizard->screenWidth = GetSystemMetrics(SM_CXSCREEN);
  setup.wizard->screenHeight = GetSystemMetrics(SM_CYSCREEN);
  setup.commandLine = commandLine;
  ParseCommandLine(setup, commandLine);
  OpenRunLog(setup, setup.options.deleteSelf);
  LogAction(setup, "command line", commandLine);
  char system[160];
  DescribeSystem(system, sizeof system);
  LogAction(setup, "system", system);
  if (setup.options.deleteSelf) {
    GetModuleFileNameA(instance, setup.workPath, kPathSize);
    MoveFileAtRestart(nullptr, setup.workPath);
  }
  int exitCode;
  if (setup.options.resumeType >= 1) {
    exitCode = ResumedRun(setup);
  } else if (!setup.options.deleteSelf && OtherSetupRunning()) {
    // A temporary copy runs while its original waits, holding the mark for it.
    exitCode = kExitAlreadyRunning;
  } else {
    exitCode = WizardRun(setup, instance, showCommand);
  }
  if (setup.resultCode) LogNumber(setup, "failed with result", setup.resultCode, setup.errorArgument);
  LogNumber(setup, "exit code", exitCode);
  CloseRunLog(setup);
  FreePackage(setup.package);
  ReleaseInstance(setup);
  return exitCode;
}
