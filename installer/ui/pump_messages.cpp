#include "ui/pump_messages.h"

// Stand-in: the wizard's message pump replaces this once the wizard exists.
void PumpMessages() {}
