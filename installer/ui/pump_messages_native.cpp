#include "base/display.h"

// Native builds have no windows whose messages could wait.
void PumpMessages(Setup&) {}
