#include "ui/pump_messages.h"

// Native builds have no windows whose messages could wait.
void PumpMessages() {}
