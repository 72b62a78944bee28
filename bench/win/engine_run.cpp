// wrenly-engine-run.exe --report FILE --folder DIR SETUP.exe: the install
// benchmark's subject. Runs the Installer's real engine on a setup
// program's Package without the wizard, as WinMain sets the run up, and
// writes "result N", "elapsed-ms N" and "peak-working-set-kb N" to FILE.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "figures.h"
#include "install/install_run.h"
#include "package/package.h"
#include "startup/instance.h"
#include "ui/wizard.h"

// No wizard: nothing to draw, no messages to pump.
void ShowProgressPercent(Setup&, int) {}
void ShowCurrentFile(Setup&, const char*) {}
void PumpMessages(Setup&) {}

int main(int argc, char** argv) {
  if (argc != 6 || std::strcmp(argv[1], "--report") || std::strcmp(argv[3], "--folder")) {
    std::fprintf(stderr, "usage: wrenly-engine-run.exe --report FILE --folder DIR SETUP.exe\n");
    return 2;
  }
  Setup setup;
  Wizard wizard = {};
  InitSetup(setup);
  setup.wizard = &wizard;
  std::FILE* report = std::fopen(argv[2], "w");
  if (!report || !InitInstance(setup, GetModuleHandleA(nullptr))) return 3;
  std::strncpy(setup.ownPath, argv[5], kPathSize - 1);
  if (!LoadPackage(setup)) {
    std::fprintf(report, "result load-failed\n");
    return 4;
  }
  std::strncpy(setup.installFolder, argv[4], kPathSize - 1);
  double start = NowMs();
  RunInstallationHeadless(setup);
  double elapsed = NowMs() - start;
  std::fprintf(report, "result %d\nelapsed-ms %lld\npeak-working-set-kb %lld\n", setup.resultCode, (long long)elapsed,
               PeakWorkingSetKb());
  FreePackage(setup.package);
  ReleaseInstance(setup);
  std::fclose(report);
  return 0;
}
