// The completion step of an installation run.
#pragma once
#include "base/setup.h"

// The system's part of the completion step (install_run's EndInstallation
// runs it): after a cancel it only closes.
void FinishInstallation(Setup& setup);
