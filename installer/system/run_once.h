// Commands the system runs once at its next start.
#pragma once
#include "base/setup.h"

// Registers command under the first free numbered RunOnce value. The
// numbers only grow within a run, and one already in the registry is never
// written over. 0 when registered.
int AddRunOnceCommand(Setup& setup, const char* command);
