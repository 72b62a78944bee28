#include "observer.h"

#include "install/install_run.h"
#include "startup/run_state.h"
#include "ui/pump_messages.h"

Observed Observer;

void ShowProgressPercent(int percent) {
  if (Observer.percentCount < Observed::kMaxPercents) Observer.percents[Observer.percentCount++] = percent;
}

void ShowCurrentFile(const char*) { ++Observer.currentFiles; }

// The user pressing Cancel on the progress page, at a chosen moment of a read.
void PumpMessages() {
  if (++Observer.pumps == Observer.cancelAtPump) {
    PageResult = 2;
    UserCancelled = true;
  }
}
