#include "startup/exit_code.h"

int FinalExitCode(const Setup& setup) {
  if (setup.resultCode != 0) return setup.resultCode;
  // A wizard that closed before the installation finished was cancelled,
  // whether or not Cancel asked first. One page only installs nothing.
  if (setup.userCancelled || (!setup.run.finished && !setup.singlePageMode)) return kExitCancelled;
  if (setup.restartNeeded) return setup.options.quiet ? kExitRestartRequired : kExitRestartNeeded;
  return kExitOk;
}
