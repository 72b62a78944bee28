// What a run that got as far as the installation tells the program that
// started it.
#pragma once
#include "base/setup.h"

// A failure wins over a needed restart: an unfinished installation must not
// look like one that only waits for the restart.
int FinalExitCode(const Setup& setup);
